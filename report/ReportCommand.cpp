#include "report/ReportCommand.h"

#include <QApplication>
#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <span>

#include "datetime/ClsDate.h"
#include "report/ClsGanttReport.h"
#include "report/PaperSize.h"
#include "report/ReportDocument.h"
#include "store/ClsGlobal.h"
#include "store/FileIo.h"
#include "store/FileSystem.h"
#include "ui/ScheduleRows.h"

namespace {

// A stored moment is day * 2048 + minutes in 32 bits: the last day whose every minute fits.
constexpr int32_t kLastDay = (std::numeric_limits<int32_t>::max() - (24 * 60 - 1)) / 2048;

QString LastDayText() {
    return QDate(1900, 1, 1).addDays(kLastDay).toString(Qt::ISODate);
}

std::optional<int16_t> ViewOf(const QString& text) {
    const QString view = text.toLower();
    if (view == QLatin1String("day")) {
        return 0;
    }
    if (view == QLatin1String("week")) {
        return 1;
    }
    if (view == QLatin1String("month")) {
        return 2;
    }
    return std::nullopt;
}

std::optional<int32_t> DayOf(const QString& text) {
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid() || date.year() < 1900) {
        return std::nullopt;
    }
    const int32_t day = ClsDate::DayNumberFromCivil(date.year(), date.month(), date.day());
    if (day > kLastDay) {
        return std::nullopt;
    }
    return day;
}

struct Arguments {
    int status = ReportStatus::Written;
    std::optional<int16_t> view;
    std::optional<int32_t> day;
};

Arguments Read(const ReportRequest& request, QTextStream& errors) {
    const QString program = QStringLiteral("tidemar: ");
    Arguments a;
    if (request.pdfFile.empty()) {
        errors << program << "--pdf needs the name of the file to write\n";
        a.status = ReportStatus::BadArguments;
    } else if (!request.view.isEmpty() && !(a.view = ViewOf(request.view))) {
        errors << program << "unknown view '" << request.view << "': use day, week or month\n";
        a.status = ReportStatus::BadArguments;
    } else if (!request.date.isEmpty() && !(a.day = DayOf(request.date))) {
        errors << program << "'" << request.date << "' is not a date from 1900-01-01 to "
               << LastDayText() << " in the form YYYY-MM-DD\n";
        a.status = ReportStatus::BadArguments;
    }
    return a;
}

QString Shown(const std::string& path) {
    return QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
}

// The path with links and ".." resolved; empty when it cannot be.
std::string RealPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool Inside(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.size() > folder.size() &&
           path.compare(0, folder.size(), folder) == 0 &&
           (folder == "/" || path[folder.size()] == '/');
}

bool SameFile(const struct stat& file, const std::string& other) {
    struct stat st {};
    return ::stat(other.c_str(), &st) == 0 && st.st_dev == file.st_dev && st.st_ino == file.st_ino;
}

// Where the report is to go, links and ".." resolved, or why it must not go there.
struct Target {
    std::string path;
    std::string refusal;
};

Target TargetOf(const ProgramFolders& folders, const std::string& file) {
    Target t;
    struct stat st {};
    const bool exists = ::stat(file.c_str(), &st) == 0;
    if (exists) {
        t.path = RealPath(file);
        if (t.path.empty()) {
            t.path = file;
        }
        if (!S_ISREG(st.st_mode)) {
            t.refusal = "it is not a regular file";
            return t;
        }
    } else if (::lstat(file.c_str(), &st) == 0) {
        t.refusal = "it is a link to nothing";
        return t;
    } else {
        // A new file: the real path of its folder and its own name.
        const size_t slash = file.find_last_of('/');
        const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
        const std::string real = RealPath(folder);
        // A folder that cannot be resolved cannot be written to either; the write says why.
        t.path = real.empty() ? file : (real == "/" ? "" : real) + "/" + name;
    }
    const std::string data = RealPath(folders.Data());
    if (Inside(t.path, data)) {
        t.refusal = "it is in the data folder " + folders.Data();
        return t;
    }
    const std::string program = RealPath(folders.program);
    if ((!program.empty() && t.path == program + "/Tidemar.err") ||
        (exists && SameFile(st, folders.LogFile()))) {
        t.refusal = "it is the error log";
        return t;
    }
    // A second hard link elsewhere is the same file under another name.
    if (exists && !data.empty()) {
        const auto close = [](DIR* d) { ::closedir(d); };
        std::unique_ptr<DIR, decltype(close)> dir(::opendir(data.c_str()), close);
        while (dir) {
            const dirent* entry = ::readdir(dir.get());
            if (entry == nullptr) {
                break;
            }
            if (SameFile(st, data + "/" + entry->d_name)) {
                t.refusal = std::string("it is the data file ") + entry->d_name;
                return t;
            }
        }
    }
    return t;
}

int16_t ItemOrFirst(int16_t value, int16_t count) {
    return value >= 0 && value < count ? value : 0;
}

} // namespace

int CheckReportRequest(const ReportRequest& request, QTextStream& errors) {
    return Read(request, errors).status;
}

int WriteReportPdf(const ProgramFolders& folders, const ReportRequest& request,
                   QTextStream& errors) {
    const QString program = QStringLiteral("tidemar: ");
    const Arguments arguments = Read(request, errors);
    if (arguments.status != ReportStatus::Written) {
        return arguments.status;
    }
    const Target target = TargetOf(folders, request.pdfFile);
    if (!target.refusal.empty()) {
        errors << program << "not writing the report to " << Shown(request.pdfFile) << ": "
               << Shown(target.refusal) << "\n";
        return ReportStatus::BadArguments;
    }

    const ClsGlobal store(folders, FileSystem::Real(), StoreMode::ReadOnly);
    const QString data = QDir::toNativeSeparators(QString::fromStdString(folders.Data()));
    bool unreadable = false;
    for (const FileProblem& p : store.LoadProblems()) {
        const bool fatal = p.kind == FileProblem::Kind::Unreadable;
        unreadable = unreadable || fatal;
        errors << program << (fatal ? "" : "warning: ");
        if (p.file.empty()) {
            errors << "the folder " << data;
        } else {
            errors << QString::fromStdString(p.file) << " in " << data;
        }
        errors << " " << QString::fromStdString(p.what);
        if (fatal) {
            errors << " (" << QString::fromStdString(p.error.description) << ")";
        }
        errors << "\n";
    }
    if (unreadable) {
        errors << program << "no report written: the data could not be read\n";
        return ReportStatus::Failed;
    }

    // The rows as the schedule would show them, its title column measured in the font a grid
    // would have.
    ScheduleRows rows = ScheduleRows::FromStore(store, QApplication::font());
    if (rows.rows.empty()) {
        errors << program << "no report written: there are no resources in " << data
               << " (add them in the planner first)\n";
        return ReportStatus::Failed;
    }

    ClsDate date;
    ReportDocument document;
    document.SetPaperSize(
        static_cast<int16_t>(ItemOrFirst(store.PrintPageSize(), PaperSize::Count) + 1));
    document.SetOrientation(ItemOrFirst(store.PrintOrientation(), 2));
    ClsGanttReport report(document, store, date);
    const int listWidth = rows.listWidth;
    report.SetSchedule(std::move(rows));
    ClsGanttReport::State& state = report.state;
    state.viewType = arguments.view.value_or(ItemOrFirst(store.PreviewViewType(), 3));
    state.startDay = arguments.day.value_or(date.Today());
    state.nameWidth = ClsGanttReport::NameWidthFor(listWidth);
    state.colorPrint = store.Option(5);
    report.ShowReport();
    if (!report.Finished()) {
        errors << program << "no report written: the report could not be laid out (the "
               << "details are in " << QString::fromStdString(folders.LogFile()) << ")\n";
        return ReportStatus::Failed;
    }

    const QString title = report.Schedule().listTitle + QStringLiteral(" ") + report.RangeText();
    // Made in memory and written by name, so that a name which is not valid text reaches the
    // file system byte for byte.
    QBuffer pdf;
    std::optional<Error> failed;
    if (!pdf.open(QIODevice::WriteOnly)) {
        failed = MakeError(ErrorNumber::DeviceIo);
    } else {
        failed = document.WritePdf(pdf, 1, document.PageCount(), title);
    }
    if (!failed) {
        const QByteArray& bytes = pdf.data();
        failed = FileIo::WriteAtomic(
            FileSystem::Real(), target.path,
            std::as_bytes(std::span(bytes.constData(), static_cast<size_t>(bytes.size()))));
    }
    if (failed) {
        errors << program << "could not write " << Shown(request.pdfFile) << ": "
               << QString::fromStdString(failed->description) << "\n";
        return ReportStatus::Failed;
    }
    return ReportStatus::Written;
}
