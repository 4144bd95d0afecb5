// The report from the command line: what it writes, what it refuses, and that it leaves the
// data folder alone while the planner holds it.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <gtest/gtest.h>

#include <memory>

#include "datetime/ClsDate.h"
#include "report/ReportCommand.h"
#include "store/ClsGlobal.h"
#include "store/InstanceLock.h"
#include "support/StoreFixture.h"

namespace {

QString Poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        ADD_FAILURE() << tool.toStdString() << " failed (install poppler-utils)";
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Names, sizes, times and contents of the files of a folder.
QStringList Snapshot(const QString& folder) {
    QStringList files;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::Dirs |
                                                            QDir::NoDotAndDotDot | QDir::Hidden)) {
        QFile file(info.filePath());
        QByteArray hash;
        if (info.isFile() && file.open(QIODevice::ReadOnly)) {
            hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
        }
        files << QStringLiteral("%1 %2 %3 %4")
                     .arg(info.fileName())
                     .arg(info.size())
                     .arg(info.lastModified().toMSecsSinceEpoch())
                     .arg(QString::fromLatin1(hash));
    }
    return files;
}

// Saturday 5 December 2026: resources in mixed case with a double, one booking each, A4
// landscape and the week view stored.
class ReportCommandTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        ClsGlobal store{folders};
        ClsDate date;
        store.SetResourceType("Rooms");
        store.SetPrintPageSize(8);
        store.SetPrintOrientation(1);
        store.SetPreviewViewType(1);
        int32_t type = 0, customer = 0;
        type = store.TypeSave(type, "Meeting", 0x000000FF, 0x0000FFFF, 15, 480, 15);
        customer = store.CustomerSave(customer, "Hal Brenner");
        const int32_t today = date.Today();
        for (const char* name : {"beta", "Alpha", "gamma", "alpha", "Beta"}) {
            int32_t id = 0;
            id = store.ResourceSave(id, name);
            int32_t a = 0;
            store.AppointmentSave(a, customer, id, type, date.JoinDateTime(today, 60),
                                  date.JoinDateTime(today, 1380), "");
        }
        ASSERT_TRUE(store.Save().Ok());
    }

    int Write(const ReportRequest& request) {
        errorText.clear();
        QTextStream errors(&errorText);
        return WriteReportPdf(folders, request, errors);
    }
    QString Pdf(const char* name = "plan.pdf") const {
        return QString::fromStdString(dir.file(name));
    }

    ProgramFolders folders{dir.path()};
    QString errorText;
};

TEST_F(ReportCommandTest, WritesTheStoredViewOfTodayWhileThePlannerHoldsTheDataAndTouchesNothing) {
    const QString data = QString::fromStdString(folders.Data());
    const QStringList before = Snapshot(data);
    InstanceLock planner(folders.Data());
    ASSERT_TRUE(planner.Acquired());

    ASSERT_EQ(Write({Pdf(), "", ""}), ReportStatus::Written) << errorText.toStdString();
    EXPECT_TRUE(errorText.isEmpty());
    const QString info = Poppler("pdfinfo", {Pdf()});
    EXPECT_TRUE(info.contains(QRegularExpression(R"(Pages:\s+1\n)")));
    EXPECT_TRUE(info.contains("842 x 595 pts (A4)")) << info.toStdString();
    const QString text = Poppler("pdftotext", {"-layout", Pdf(), "-"});
    EXPECT_TRUE(text.contains("30/11/2026 to 06/12/2026")) << text.toStdString();
    EXPECT_TRUE(text.contains("05/12/2026 08:00"));
    EXPECT_TRUE(text.contains("Hal Brenner"));
    EXPECT_EQ(Snapshot(data), before);
}

TEST_F(ReportCommandTest, ViewAndDateChooseTheRange) {
    ASSERT_EQ(Write({Pdf(), "Month", "2024-02-10"}), ReportStatus::Written);
    EXPECT_TRUE(Poppler("pdftotext", {Pdf(), "-"}).contains("01/02/2024 to 29/02/2024"));
}

struct RefusalCase {
    const char* name;
    ReportRequest request;
    int status;
    const char* says;
};
const RefusalCase kRefusals[] = {
    {"NoFile", {"", "", ""}, ReportStatus::BadArguments, "--pdf needs the name of the file"},
    {"UnknownView", {"x.pdf", "year", ""}, ReportStatus::BadArguments, "unknown view 'year'"},
    {"ImpossibleDate",
     {"x.pdf", "", "2021-02-30"},
     ReportStatus::BadArguments,
     "'2021-02-30' is not a date"},
    {"DateBefore1900", {"x.pdf", "", "1899-12-31"}, ReportStatus::BadArguments, "is not a date"},
    {"FolderMissing", {"missing/folder/x.pdf", "", ""}, ReportStatus::Failed, "could not write"},
};

class Refusals : public ReportCommandTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, SayWhyOnOneLineAndExitNonZero) {
    ReportRequest request = GetParam().request;
    if (!request.pdfFile.isEmpty()) {
        request.pdfFile = QString::fromStdString(dir.file(request.pdfFile.toStdString()));
    }
    EXPECT_EQ(Write(request), GetParam().status);
    EXPECT_TRUE(errorText.startsWith("tidemar: ")) << errorText.toStdString();
    EXPECT_TRUE(errorText.contains(GetParam().says)) << errorText.toStdString();
    EXPECT_TRUE(errorText.endsWith("\n"));
    EXPECT_FALSE(QFile::exists(request.pdfFile));
}

INSTANTIATE_TEST_SUITE_P(Table, Refusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
