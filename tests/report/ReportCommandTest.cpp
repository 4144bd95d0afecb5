// The report from the command line: what it writes, what it refuses, and that it leaves the
// data folder alone while the planner holds it.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
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

    int Write(const ReportRequest& request) { return WriteTo(folders, request); }
    int WriteTo(const ProgramFolders& where, const ReportRequest& request) {
        errorText.clear();
        QTextStream errors(&errorText);
        return WriteReportPdf(where, request, errors);
    }
    std::string Pdf(const char* name = "plan.pdf") const { return dir.file(name); }
    static QString Q(const std::string& path) { return QFile::decodeName(path.c_str()); }

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
    const QString info = Poppler("pdfinfo", {Q(Pdf())});
    EXPECT_TRUE(info.contains(QRegularExpression(R"(Pages:\s+1\n)")));
    EXPECT_TRUE(info.contains("842 x 595 pts (A4)")) << info.toStdString();
    const QString text = Poppler("pdftotext", {"-layout", Q(Pdf()), "-"});
    EXPECT_TRUE(text.contains("30/11/2026 to 06/12/2026")) << text.toStdString();
    EXPECT_TRUE(text.contains("05/12/2026 08:00"));
    EXPECT_TRUE(text.contains("Hal Brenner"));
    // The rows in the schedule's order: without regard to case, doubles in store order.
    QStringList rows;
    for (const QString& line : text.split('\n')) {
        const QString first = line.section(' ', 0, 0, QString::SectionSkipEmpty);
        if (first.compare("alpha", Qt::CaseInsensitive) == 0 ||
            first.compare("beta", Qt::CaseInsensitive) == 0 || first == "gamma") {
            rows << first;
        }
    }
    EXPECT_EQ(rows, (QStringList{"Alpha", "alpha", "beta", "Beta", "gamma"}));
    EXPECT_EQ(Snapshot(data), before);
}

TEST_F(ReportCommandTest, ViewAndDateChooseTheRange) {
    ASSERT_EQ(Write({Pdf(), "Month", "2024-02-10"}), ReportStatus::Written);
    EXPECT_TRUE(Poppler("pdftotext", {Q(Pdf()), "-"}).contains("01/02/2024 to 29/02/2024"));
}

// The last day a stored moment can hold is the last the report takes, and the one its
// refusal names.
TEST_F(ReportCommandTest, TakesTheLastDayAStoredMomentCanHold) {
    ASSERT_EQ(Write({Pdf(), "Day", "4770-11-26"}), ReportStatus::Written)
        << errorText.toStdString();
    EXPECT_TRUE(Poppler("pdftotext", {Q(Pdf()), "-"}).contains("26/11/4770"));
}

// An earlier report is replaced, also through a link to it; the link stays a link.
TEST_F(ReportCommandTest, ReplacesAnEarlierReportThroughALink) {
    ASSERT_EQ(Write({Pdf(), "Month", "2024-02-10"}), ReportStatus::Written);
    std::filesystem::create_symlink(Pdf(), Pdf("latest.pdf"));
    ASSERT_EQ(Write({Pdf("latest.pdf"), "Day", "2024-03-01"}), ReportStatus::Written)
        << errorText.toStdString();
    EXPECT_TRUE(std::filesystem::is_symlink(Pdf("latest.pdf")));
    EXPECT_TRUE(Poppler("pdftotext", {Q(Pdf()), "-"}).contains("01/03/2024"));
}

// Names that are not valid text (Latin-1 bytes under a UTF-8 locale) reach the file system
// byte for byte: the data is read from that folder and the report lands under that name.
TEST_F(ReportCommandTest, NamesThatAreNotTextAreUsedAsGiven) {
    const std::string folder = dir.file("caf\xe9");
    std::filesystem::create_directory(folder);
    std::filesystem::copy(folders.Data(), folder + "/Data");
    const std::string pdf = dir.file("r\xe9sum\xe9.pdf");
    ASSERT_EQ(WriteTo(ProgramFolders{folder}, {pdf, "", ""}), ReportStatus::Written)
        << errorText.toStdString();
    struct stat st {};
    EXPECT_EQ(::stat(pdf.c_str(), &st), 0);
    EXPECT_GT(st.st_size, 0);
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
    {"DayAfterTheLast",
     {"x.pdf", "", "4770-11-27"},
     ReportStatus::BadArguments,
     "from 1900-01-01 to 4770-11-26 in"},
    {"FolderMissing", {"missing/folder/x.pdf", "", ""}, ReportStatus::Failed, "could not write"},
    {"ErrorLogNotYetMade", {"Tidemar.err", "", ""}, ReportStatus::BadArguments, "the error log"},
};

class Refusals : public ReportCommandTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, SayWhyOnOneLineAndExitNonZero) {
    ReportRequest request = GetParam().request;
    if (!request.pdfFile.empty()) {
        request.pdfFile = dir.file(request.pdfFile);
    }
    EXPECT_EQ(Write(request), GetParam().status);
    EXPECT_TRUE(errorText.startsWith("tidemar: ")) << errorText.toStdString();
    EXPECT_TRUE(errorText.contains(GetParam().says)) << errorText.toStdString();
    EXPECT_TRUE(errorText.endsWith("\n"));
    EXPECT_FALSE(std::filesystem::exists(request.pdfFile));
}

INSTANTIATE_TEST_SUITE_P(Table, Refusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

// Whatever names it, the report never lands on the data, the log or anything but a file.
struct TargetCase {
    const char* name;
    const char* pdf;  // in the program folder
    const char* says; // why not
};
const TargetCase kTargets[] = {
    {"DataFile", "Data/Appointment.bin", "in the data folder"},
    {"DataFileByDotDot", "Data/../Data/Appointment.bin", "in the data folder"},
    {"NewFileInData", "Data/plan.pdf", "in the data folder"},
    {"LinkToADataFile", "link.pdf", "in the data folder"},
    {"HardLinkToADataFile", "hard.pdf", "it is the data file Appointment.bin"},
    {"ErrorLog", "Tidemar.err", "it is the error log"},
    {"HardLinkToTheLog", "hard-log.pdf", "it is the error log"},
    {"LinkToNothing", "dangling.pdf", "a link to nothing"},
    {"Pipe", "pipe.pdf", "not a regular file"},
    {"Folder", "Data", "not a regular file"},
};

class Targets : public ReportCommandTest, public ::testing::WithParamInterface<TargetCase> {};

// Type, inode, size and time of what a path names, links not followed.
std::string Identity(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return "none";
    }
    return std::to_string(st.st_mode) + " " + std::to_string(st.st_ino) + " " +
           std::to_string(st.st_size) + " " + std::to_string(st.st_mtim.tv_nsec);
}

TEST_P(Targets, AreRefusedAndLeftAsTheyWere) {
    namespace fs = std::filesystem;
    std::ofstream(folders.LogFile()) << "an earlier failure\n";
    fs::create_symlink(folders.Data() + "/Appointment.bin", Pdf("link.pdf"));
    fs::create_hard_link(folders.Data() + "/Appointment.bin", Pdf("hard.pdf"));
    fs::create_hard_link(folders.LogFile(), Pdf("hard-log.pdf"));
    fs::create_symlink(folders.Data() + "/gone.pdf", Pdf("dangling.pdf"));
    ASSERT_EQ(::mkfifo(Pdf("pipe.pdf").c_str(), 0600), 0);
    const QStringList data = Snapshot(QString::fromStdString(folders.Data()));
    const std::string target = Pdf(GetParam().pdf);
    const std::string before = Identity(target);
    const std::string log = Identity(folders.LogFile());

    EXPECT_EQ(Write({target, "", ""}), ReportStatus::BadArguments);
    EXPECT_TRUE(errorText.startsWith("tidemar: not writing the report to "))
        << errorText.toStdString();
    EXPECT_TRUE(errorText.contains(GetParam().says)) << errorText.toStdString();
    EXPECT_EQ(Identity(target), before);
    EXPECT_EQ(Snapshot(QString::fromStdString(folders.Data())), data);
    EXPECT_EQ(Identity(folders.LogFile()), log);
}

INSTANTIATE_TEST_SUITE_P(Table, Targets, ::testing::ValuesIn(kTargets),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
