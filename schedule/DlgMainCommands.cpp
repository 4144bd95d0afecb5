// The main window's commands: each menu entry's handler.
#include <QCalendarWidget>
#include <QDate>
#include <QSlider>

#include <algorithm>

#include "datetime/ClsDate.h"
#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgConfigure.h"
#include "dialogs/DlgDelete.h"
#include "dialogs/DlgExport.h"
#include "dialogs/DlgImport.h"
#include "dialogs/DlgResource.h"
#include "dialogs/DlgSearch.h"
#include "grid/ScheduleGrid.h"
#include "platform/IWindowing.h"
#include "report/DlgPreview.h"
#include "schedule/DlgAbout.h"
#include "schedule/DlgMain.h"
#include "schedule/ScheduleGridView.h"
#include "store/ClsGlobal.h"
#include "store/FileSystem.h"
#include "store/StoreChanges.h"
#include "ui/ClsHelp.h"
#include "ui/ScheduleRows.h"
#include "ui/Services.h"
#include "ui/Trap.h"
#include "ui/WindowFrame.h"

namespace {
constexpr const char* kForm = "DlgMain";
} // namespace

ScheduleView& DlgMain::View() {
    return *view_;
}

void DlgMain::mnuFileConfigure_Click() {
    HideZoom();
    if (configure_ == nullptr) {
        configure_ = new DlgConfigure(*services_, *view_);
    }
    ShowModal(configure_);
    ShowResources();
}

void DlgMain::mnuFilePrint_Click() {
    HideZoom();
    if (preview_ == nullptr) {
        preview_ = new DlgPreview(
            *services_, *view_, [this] { return ScheduleRows::FromGrid(*sched_); }, previewPlace_);
    }
    ShowModal(preview_);
}

void DlgMain::mnuFileImport_Click() {
    HideZoom();
    if (import_ == nullptr) {
        import_ = new DlgImport(*services_, FileSystem::Real());
    }
    ShowModal(import_);
    ShowResources();
}

void DlgMain::mnuFileExport_Click() {
    HideZoom();
    ExportBookings(false);
}

void DlgMain::ExportBookings(bool searchResults) {
    Trap(kForm, "ExportBookings", [&] {
        if (export_ == nullptr) {
            export_ = new DlgExport(*services_, FileSystem::Real(), [this] {
                return search_ != nullptr ? search_->ResultIds() : std::vector<int32_t>{};
            });
        }
        export_->SetShownRange(sched_->DateFirst(), sched_->DateLast());
        if (searchResults) {
            export_->SetWhat(DlgExport::What::SearchResults);
        }
        ShowModal(export_);
    });
}

void DlgMain::mnuFileExit_Click() {
    HideZoom();
    close();
}

DlgAppointment& DlgMain::AppointmentDialog() {
    if (appointment_ == nullptr) {
        appointment_ = new DlgAppointment(*services_, *view_);
    }
    return *appointment_;
}

DlgResource& DlgMain::ResourceDialog() {
    if (resource_ == nullptr) {
        resource_ = new DlgResource(*services_);
    }
    return *resource_;
}

// Only the appointment is named: the dialog keeps the resource and times of its last
// showing as presets.
void DlgMain::mnuApptAdd_Click() {
    HideZoom();
    DlgAppointment& dialog = AppointmentDialog();
    dialog.SetAppointmentId(0);
    ShowModal(&dialog);
    ShowResources();
}

void DlgMain::mnuApptEdit_Click() {
    HideZoom();
    if (selectedAppointment_ == 0) {
        windowing_.MessageBox(this, tr("No appointment selected!"), tr("No selection!"),
                              IWindowing::Icon::Information, IWindowing::Buttons::Ok);
        return;
    }
    DlgAppointment& dialog = AppointmentDialog();
    dialog.SetAppointmentId(selectedAppointment_);
    ShowModal(&dialog);
    ShowResources();
}

void DlgMain::mnuApptDelete_Click() {
    HideZoom();
    if (delete_ == nullptr) {
        delete_ = new DlgDelete(*services_, *view_);
    }
    ShowModal(delete_);
    ShowResources();
}

void DlgMain::mnuApptSearch_Click() {
    HideZoom();
    Trap(kForm, "mnuApptSearch_Click", [&] {
        if (search_ == nullptr) {
            search_ = new DlgSearch(*services_, [this] { ExportBookings(true); });
        }
        ShowModal(search_);
        ShowFoundAppointment(search_->AppointmentId());
    });
}

void DlgMain::mnuResourceAdd_Click() {
    HideZoom();
    DlgResource& dialog = ResourceDialog();
    dialog.SetResourceId(0);
    ShowModal(&dialog);
    ShowResources();
}

void DlgMain::mnuResourceEdit_Click() {
    HideZoom();
    const int row = sched_->CurrentRow();
    if (row < 1) {
        windowing_.MessageBox(this, tr("No resource selected!"), tr("No selection!"),
                              IWindowing::Icon::Information, IWindowing::Buttons::Ok);
        return;
    }
    DlgResource& dialog = ResourceDialog();
    dialog.SetResourceId(sched_->RowData(row));
    ShowModal(&dialog);
    ShowResources();
}

void DlgMain::mnuResourceDelete_Click() {
    HideZoom();
    Trap(kForm, "mnuResourceDelete_Click", [&] {
        int row = sched_->CurrentRow();
        if (row < 1) {
            windowing_.MessageBox(this, tr("No resource selected!"), tr("No selection!"),
                                  IWindowing::Icon::Information, IWindowing::Buttons::Ok);
            return;
        }
        QString text = "Confirm delete resource " + sched_->RowText(row).trimmed() + "?" + "\r\n" +
                       "(all associated appointments will be deleted)";
        if (windowing_.MessageBox(this, text, "Confirm", IWindowing::Icon::Question,
                                  IWindowing::Buttons::YesNo) != IWindowing::Answer::Yes) {
            return;
        }
        // The grid follows from the change told.
        changes_->ResourceDelete(sched_->RowData(row));
    });
}

void DlgMain::mnuSchedDate_Click() {
    HideZoom();
    Trap(kForm, "mnuSchedDate_Click", [&] {
        selMonth_->adjustSize();
        QWidget* central = centralWidget();
        selMonth_->move(
            central->mapToGlobal(QPoint(central->width() / 2 - selMonth_->width() / 2,
                                        central->height() / 2 - selMonth_->height() / 2)));
        int y = 0, m = 0, d = 0;
        ClsDate::CivilFromDayNumber(sched_->DateFirst(), y, m, d);
        selMonth_->setSelectedDate(QDate(y, m, d));
        selMonth_->show();
        selMonth_->raise();
        selMonth_->setFocus();
    });
}

void DlgMain::SelMonth_DblClick(const QDate& date) {
    int32_t day = ClsDate::DayNumberFromCivil(date.year(), date.month(), date.day());
    if (day <= 0) {
        return;
    }
    selMonth_->hide();
    SetScheduleDates(day);
}

void DlgMain::mnuSchedToday_Click() {
    HideZoom();
    int32_t today = date_->Today();
    SetScheduleDates(today);
}

void DlgMain::mnuSchedView_Click() {
    HideZoom();
    Trap(kForm, "mnuSchedView_Click", [&] {
        sched_->SetTimeType((sched_->TimeType() + 1) % 3);
        int32_t start = sched_->DateFirst();
        SetScheduleDates(start);
    });
}

void DlgMain::mnuSchedZoom_Click() {
    Trap(kForm, "mnuSchedZoom_Click", [&] {
        zoom_->resize(zoom_->sizeHint().width(), sched_->height());
        zoom_->move(sched_->x() + sched_->width() - zoom_->width(), sched_->y());
        zoom_->setValue(sched_->Resolution());
        zoom_->show();
        zoom_->raise();
        zoom_->setFocus();
    });
}

void DlgMain::mnuSchedZoomIn_Click() {
    const int now = sched_->Resolution();
    zoom_->setValue(std::min<int>(ScheduleGrid::ResolutionMaximum(), now + std::max(1, now / 4)));
    Zoom_Change(zoom_->value());
}

void DlgMain::mnuSchedZoomOut_Click() {
    const int now = sched_->Resolution();
    zoom_->setValue(std::max<int>(ScheduleGrid::ResolutionMinimum(), now - std::max(1, now / 5)));
    Zoom_Change(zoom_->value());
}

void DlgMain::Zoom_Change(int value) {
    sched_->SetResolution(static_cast<int16_t>(value));
}

void DlgMain::mnuHelpContents_Click() {
    HideZoom();
    help_->ShowHelpContents(this, HelpFile());
}

void DlgMain::mnuHelpMain_Click() {
    HideZoom();
    frame_->ShowHelp();
}

void DlgMain::mnuHelpNavigate_Click() {
    help_->ShowHelpTopic(this, HelpFile(), 10);
}

void DlgMain::mnuHelpAbout_Click() {
    HideZoom();
    if (about_ == nullptr) {
        about_ = new DlgAbout(this);
        about_->SetDataFolder(QString::fromStdString(folders_.Data()));
    }
    ShowModal(about_);
}
