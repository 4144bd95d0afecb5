// The print preview's commands: view, dates, pages, paper, colour, zoom, printing and help.
#include <QAction>
#include <QCalendarWidget>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QSlider>
#include <QStandardPaths>

#include <algorithm>

#include "datetime/ClsDate.h"
#include "platform/IWindowing.h"
#include "report/ClsGanttReport.h"
#include "report/DlgPreview.h"
#include "report/ReportDocument.h"
#include "report/ReportTrap.h"
#include "report/ReportView.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"

namespace {

using Command = DlgPreview::Command;
constexpr const char* kForm = "DlgPreview";

QString IsoDate(int32_t day) {
    int y = 0, m = 0, d = 0;
    ClsDate::CivilFromDayNumber(day, y, m, d);
    return QDate(y, m, d).toString(Qt::ISODate);
}

QString Pages(int count) {
    return count == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(count);
}

} // namespace

std::array<int32_t, 4> DlgPreview::DateSteps(int viewType) {
    switch (viewType) {
    case 1:
        return {-28, -7, 7, 28};
    case 2:
        // The start goes back to the first of its month: these move a month and a year.
        return {-360, -1, 32, 370};
    default:
        return {-7, -1, 1, 7};
    }
}

void DlgPreview::CheckView(int index) {
    const Command views[] = {Command::ViewDay, Command::ViewWeek, Command::ViewMonth};
    for (int i = 0; i < 3; ++i) {
        Action(views[i])->setChecked(i == index);
    }
}

void DlgPreview::mnuViewType_Click(int index) {
    ReportTrap(kForm, "mnuViewType_Click", [&] {
        services_.changes.SetPreviewViewType(static_cast<int16_t>(index));
        report_->state.viewType = static_cast<int16_t>(index);
        CheckView(index);
        report_->ShowReport();
    });
}

void DlgPreview::mnuPageSize_Click(int index) {
    ReportTrap(kForm, "mnuPageSize_Click", [&] {
        services_.changes.SetPrintPageSize(static_cast<int16_t>(index));
        canvas_->SetPaperSize(static_cast<int16_t>(index + 1));
        for (int i = 0; i < PaperSize::Count; ++i) {
            PageSizeAction(i)->setChecked(i == index);
        }
        view_->Refresh();
        report_->ShowReport();
    });
}

void DlgPreview::mnuOptMode_Click(int index) {
    ReportTrap(kForm, "mnuOptMode_Click", [&] {
        services_.changes.SetPrintOrientation(static_cast<int16_t>(index));
        Action(Command::OptPortrait)->setChecked(index == 0);
        Action(Command::OptLandscape)->setChecked(index == 1);
        canvas_->SetOrientation(index);
        view_->Refresh();
        report_->ShowReport();
    });
}

void DlgPreview::mnuOptColorPrint_Click() {
    ReportTrap(kForm, "mnuOptColorPrint_Click", [&] {
        ClsGanttReport::State& state = report_->state;
        state.colorPrint = !state.colorPrint;
        services_.changes.SetOption(5, state.colorPrint);
        Action(Command::OptColorPrint)->setChecked(state.colorPrint);
        report_->ShowReport();
    });
}

void DlgPreview::mnuDateToday_Click() {
    ReportTrap(kForm, "mnuDateToday_Click", [&] {
        report_->state.startDay = services_.date.Today();
        report_->ShowReport();
    });
}

void DlgPreview::StepDate(const char* procedure, int step) {
    ReportTrap(kForm, procedure, [&] {
        ClsGanttReport::State& state = report_->state;
        state.startDay =
            Checked::Add(state.startDay, DateSteps(state.viewType)[static_cast<size_t>(step)]);
        report_->ShowReport();
    });
}

void DlgPreview::mnuDatePrevWeek_Click() {
    StepDate("mnuDatePrevWeek_Click", 0);
}

void DlgPreview::mnuDatePrevDay_Click() {
    StepDate("mnuDatePrevDay_Click", 1);
}

void DlgPreview::mnuDateNextDay_Click() {
    StepDate("mnuDateNextDay_Click", 2);
}

void DlgPreview::mnuDateNextWeek_Click() {
    StepDate("mnuDateNextWeek_Click", 3);
}

void DlgPreview::mnuDateCalendar_Click() {
    ReportTrap(kForm, "mnuDateCalendar_Click", [&] {
        int y = 0, m = 0, d = 0;
        ClsDate::CivilFromDayNumber(report_->state.startDay, y, m, d);
        monthView_->setSelectedDate(QDate(y, m, d));
        monthView_->adjustSize();
        monthView_->move(
            area_->mapToGlobal(QPoint(area_->width() / 2 - monthView_->width() / 2,
                                      area_->height() / 2 - monthView_->height() / 2)));
        monthView_->show();
        monthView_->raise();
        monthView_->setFocus();
    });
}

void DlgPreview::MonthView_DateDblClick(int32_t value) {
    ReportTrap(kForm, "MonthView_DateDblClick", [&] {
        if (value <= 0) {
            return;
        }
        report_->state.startDay = value;
        monthView_->hide();
        report_->ShowReport();
    });
}

void DlgPreview::MonthView_LostFocus() {
    monthView_->hide();
}

void DlgPreview::ShowPage() {
    SetPageLabel(QStringLiteral("%1/%2").arg(canvas_->CurrentPage()).arg(canvas_->PageCount()));
    view_->Refresh();
}

void DlgPreview::SetPageLabel(const QString& text) {
    lblPage_->setText(text);
    lblPage_->setAccessibleName(
        text.isEmpty() ? text : ReportView::PageName(canvas_->CurrentPage(), canvas_->PageCount()));
}

void DlgPreview::mnuViewZoom_Click(int step) {
    ReportTrap(kForm, "mnuViewZoom_Click", [&] {
        // The slider's change does the rest, as a drag of it would.
        zoomSlide_->setValue(
            std::clamp(view_->ShownZoom() + step, 1, static_cast<int>(ReportView::ZoomMaximum)));
    });
}

void DlgPreview::mnuPageFirstPage_Click() {
    ReportTrap(kForm, "mnuPageFirstPage_Click", [&] {
        if (canvas_->CurrentPage() >= 2) {
            canvas_->SetCurrentPage(1);
        }
        ShowPage();
    });
}

void DlgPreview::mnuPagePrev_Click() {
    ReportTrap(kForm, "mnuPagePrev_Click", [&] {
        if (canvas_->CurrentPage() >= 2) {
            canvas_->SetCurrentPage(static_cast<int16_t>(canvas_->CurrentPage() - 1));
        }
        ShowPage();
    });
}

void DlgPreview::mnuPageNext_Click() {
    ReportTrap(kForm, "mnuPageNext_Click", [&] {
        if (canvas_->CurrentPage() < canvas_->PageCount()) {
            canvas_->SetCurrentPage(static_cast<int16_t>(canvas_->CurrentPage() + 1));
        }
        ShowPage();
    });
}

void DlgPreview::mnuPageLastPage_Click() {
    ReportTrap(kForm, "mnuPageLastPage_Click", [&] {
        if (canvas_->PageCount() >= 1 && canvas_->CurrentPage() < canvas_->PageCount()) {
            canvas_->SetCurrentPage(canvas_->PageCount());
        }
        ShowPage();
    });
}

void DlgPreview::ZoomSlide_Change(int value) {
    ReportTrap(kForm, "ZoomSlide_Change", [&] {
        services_.changes.SetPreviewZoom(static_cast<int16_t>(value));
        view_->SetZoom(static_cast<int16_t>(value));
    });
}

void DlgPreview::mnuHelp_Click() {
    frame_.ShowHelp();
}

void DlgPreview::ToolBar_ButtonClick(const QString& key, bool flag) {
    ReportTrap(kForm, "ToolBar_ButtonClick", [&] { commands_.ToolBarClick(key, flag); });
}

// --- printing and PDF ---------------------------------------------------------------

void DlgPreview::Failed(const char* procedure, const QString& what, int32_t number,
                        const QString& description) {
    ModError::LogError(kForm, procedure, 0, number, description.toStdString());
    SetStatus(what);
    services_.windowing.MessageBox(this, what + QStringLiteral("\n\n") + description, tr("Error!"),
                                   IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok);
}

QString DlgPreview::SuggestedPdfName() const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    const ClsGanttReport::State& state = report_->state;
    QString name = QStringLiteral("Schedule ") + IsoDate(state.startDay);
    if (state.endDay != state.startDay) {
        name += QStringLiteral(" to ") + IsoDate(state.endDay);
    }
    return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

void DlgPreview::SavePdf(const char* procedure, const QString& path) {
    const QString title =
        report_->Schedule().listTitle + QStringLiteral(" ") + report_->RangeText();
    const int pages = canvas_->PageCount();
    if (auto failed = canvas_->WritePdf(path, 1, pages, title)) {
        Failed(procedure, tr("The report could not be saved as %1.").arg(path), failed->number,
               QString::fromStdString(failed->description));
        return;
    }
    SetStatus(tr("Saved %1 as %2.").arg(Pages(pages), QDir::toNativeSeparators(path)));
}

void DlgPreview::mnuFileSavePdf_Click() {
    ReportTrap(kForm, "mnuFileSavePdf_Click", [&] {
        if (canvas_->Blank()) {
            services_.windowing.MessageBox(
                this, tr("There is nothing to save: the schedule has no rows."), tr("Save as PDF"),
                IWindowing::Icon::Information, IWindowing::Buttons::Ok);
            return;
        }
        std::optional<QString> path = services_.windowing.SaveFileName(
            this, tr("Save the report as PDF"), SuggestedPdfName(), tr("PDF files (*.pdf)"));
        if (path) {
            SavePdf("mnuFileSavePdf_Click", *path);
        }
    });
}

void DlgPreview::mnuFilePrint_Click() {
    ReportTrap(kForm, "mnuFilePrint_Click", [&] {
        IWindowing& windowing = services_.windowing;
        if (canvas_->Blank()) {
            windowing.MessageBox(this, tr("There is nothing to print: the schedule has no rows."),
                                 tr("Print"), IWindowing::Icon::Information,
                                 IWindowing::Buttons::Ok);
            return;
        }
        const QString printerName = printerFinder_ ? printerFinder_() : QString();
        if (printerName.isEmpty()) {
            // Printing must never silently do nothing: without a printer the pages go into
            // a PDF file the user names.
            std::optional<QString> path =
                windowing.SaveFileName(this, tr("No printer is set up: save the report as PDF"),
                                       SuggestedPdfName(), tr("PDF files (*.pdf)"));
            if (!path) {
                SetStatus(tr("Not printed: there is no printer and no PDF file was chosen."));
                return;
            }
            SavePdf("mnuFilePrint_Click", *path);
            return;
        }
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(printerName);
        printer.setDocName(report_->Schedule().listTitle + QStringLiteral(" ") +
                           report_->RangeText());
        const int pages = canvas_->PageCount();
        if (auto failed = canvas_->PrintDoc(printer, 1, pages)) {
            Failed("mnuFilePrint_Click",
                   tr("The report could not be printed on %1.").arg(printerName), failed->number,
                   QString::fromStdString(failed->description));
            return;
        }
        SetStatus(tr("Sent %1 to %2.").arg(Pages(pages), printerName));
    });
}
