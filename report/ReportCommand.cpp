#include "report/ReportCommand.h"

#include <QDate>
#include <QDir>
#include <QTextStream>

#include <algorithm>
#include <optional>

#include "controls/PaperSize.h"
#include "controls/ReportDocument.h"
#include "controls/ScheduleGrid.h"
#include "datetime/ClsDate.h"
#include "report/ClsGanttReport.h"
#include "report/ScheduleRows.h"
#include "store/ClsGlobal.h"

namespace {

// The last day a stored moment can name.
constexpr int32_t kLastDay = 1048575;

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

int16_t ItemOrFirst(int16_t value, int16_t count) {
    return value >= 0 && value < count ? value : 0;
}

} // namespace

int WriteReportPdf(const ProgramFolders& folders, const ReportRequest& request,
                   QTextStream& errors) {
    const QString program = QStringLiteral("tidemar: ");
    if (request.pdfFile.isEmpty()) {
        errors << program << "--pdf needs the name of the file to write\n";
        return ReportStatus::BadArguments;
    }
    std::optional<int16_t> view;
    if (!request.view.isEmpty() && !(view = ViewOf(request.view))) {
        errors << program << "unknown view '" << request.view << "': use day, week or month\n";
        return ReportStatus::BadArguments;
    }
    std::optional<int32_t> day;
    if (!request.date.isEmpty() && !(day = DayOf(request.date))) {
        errors << program << "'" << request.date
               << "' is not a date from 1900-01-01 to 4770-12-31 in the form YYYY-MM-DD\n";
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

    // The rows as the schedule would show them, from a grid nobody sees.
    ScheduleGrid grid;
    FillScheduleRows(grid, store);
    if (grid.RowCount() == 0) {
        errors << program << "no report written: there are no resources in " << data << "\n";
        return ReportStatus::Failed;
    }

    ClsDate date;
    ReportDocument document;
    document.SetPaperSize(
        static_cast<int16_t>(ItemOrFirst(store.PrintPageSize(), PaperSize::Count) + 1));
    document.SetOrientation(ItemOrFirst(store.PrintOrientation(), 2));
    ClsGanttReport report(document, store, date);
    report.SetSchedule(ScheduleRows::FromGrid(grid));
    ClsGanttReport::State& state = report.state;
    state.viewType = view.value_or(ItemOrFirst(store.PreviewViewType(), 3));
    state.startDay = day.value_or(date.Today());
    state.nameWidth = std::min(grid.ListWidth() * 2000 / 100, 4000);
    state.colorPrint = store.Option(5);
    report.ShowReport();
    if (!report.Finished()) {
        errors << program << "no report written: the report could not be laid out (the "
               << "details are in " << QString::fromStdString(folders.LogFile()) << ")\n";
        return ReportStatus::Failed;
    }

    const QString title = report.Schedule().listTitle + QStringLiteral(" ") + report.RangeText();
    if (auto failed = document.WritePdf(request.pdfFile, 1, document.PageCount(), title)) {
        errors << program << "could not write " << QDir::toNativeSeparators(request.pdfFile) << ": "
               << QString::fromStdString(failed->description) << "\n";
        return ReportStatus::Failed;
    }
    return ReportStatus::Written;
}
