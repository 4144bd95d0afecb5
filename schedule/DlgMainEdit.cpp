// The main window's Edit menu (cut, copy, paste, duplicate) and the keys on the grid's
// selected bar.
#include <QAction>

#include "datetime/ClsDate.h"
#include "grid/ScheduleGrid.h"
#include "platform/IWindowing.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"
#include "ui/Trap.h"

namespace {
using Command = DlgMain::Command;
constexpr const char* kForm = "DlgMain";
constexpr int32_t kMinutesPerDay = 1440;
// How far ahead Duplicate looks for free time.
constexpr int32_t kDuplicateReachDays = 366;
} // namespace

void DlgMain::ShowEditState() {
    const bool selected = selectedAppointment_ != 0;
    for (Command command : {Command::EditCut, Command::EditCopy, Command::EditDuplicate}) {
        Action(command)->setEnabled(selected);
    }
    Action(Command::EditPaste)->setEnabled(copied_.has_value());
}

QString DlgMain::DescribeAppointment(int32_t id) const {
    auto a = global_->AppointmentLoad(id);
    QString customer = QString::fromStdString(global_->CustomerLoad(a->CustomerId())->Name());
    if (customer.trimmed().isEmpty()) {
        customer = tr("(no customer)");
    }
    const int32_t startDay = date_->SplitDateVal(a->StartDtTm());
    const int32_t endDay = date_->SplitDateVal(a->EndDtTm());
    const int32_t endMinute = date_->SplitTimeVal(a->EndDtTm());
    // The end's day only when it differs.
    const std::string end = endDay == startDay ? date_->MinutesToTime(endMinute)
                                               : date_->DateAndTimeString(endDay, endMinute);
    return tr("%1, %2 to %3")
        .arg(customer.trimmed(),
             QString::fromStdString(
                 date_->DateAndTimeString(startDay, date_->SplitTimeVal(a->StartDtTm()))),
             QString::fromStdString(end));
}

bool DlgMain::CopySelected() {
    auto a = global_->AppointmentLoad(selectedAppointment_);
    if (selectedAppointment_ == 0 || a->Id() == 0) {
        windowing_.MessageBox(this, tr("No appointment selected!"), tr("No selection!"),
                              IWindowing::Icon::Information, IWindowing::Buttons::Ok);
        return false;
    }
    copied_ = CopiedBooking{a->CustomerId(), a->TypeId(),
                            date_->MinutesBetween(a->StartDtTm(), a->EndDtTm()), a->Reference()};
    ShowEditState();
    return true;
}

void DlgMain::mnuEditCopy_Click() {
    HideZoom();
    Trap(kForm, "mnuEditCopy_Click", [&] { CopySelected(); });
}

// No question: the copy holds what was cut.
void DlgMain::mnuEditCut_Click() {
    HideZoom();
    Trap(kForm, "mnuEditCut_Click", [&] {
        const int32_t id = selectedAppointment_;
        if (CopySelected()) {
            changes_->Batch("Cut appointment", [&] { changes_->AppointmentDelete(id); });
        }
    });
}

void DlgMain::mnuEditPaste_Click() {
    HideZoom();
    Trap(kForm, "mnuEditPaste_Click", [&] {
        const std::optional<ScheduleGrid::Spot> spot = sched_->LastClick();
        QString reason;
        if (!copied_) {
            reason = tr("Nothing has been copied.");
        } else if (!spot || spot->row > sched_->RowCount()) {
            reason = tr("Click the place in the schedule where the copy should go first.");
        }
        if (!reason.isEmpty()) {
            windowing_.MessageBox(this, reason, tr("Paste appointment"),
                                  IWindowing::Icon::Information, IWindowing::Buttons::Ok);
            return;
        }
        int32_t increment = global_->TypeLoad(copied_->typeId)->IncTime();
        const int32_t minute = date_->Granularise(spot->minute, increment);
        // Snapping may round up to midnight, the next day's 00:00.
        const int32_t start =
            date_->JoinDateTime(spot->day + minute / kMinutesPerDay, minute % kMinutesPerDay);
        PlaceCopy("Paste appointment", *copied_, sched_->RowData(spot->row), start);
    });
}

void DlgMain::mnuEditDuplicate_Click() {
    HideZoom();
    Trap(kForm, "mnuEditDuplicate_Click", [&] {
        auto a = global_->AppointmentLoad(selectedAppointment_);
        if (selectedAppointment_ == 0 || a->Id() == 0) {
            windowing_.MessageBox(this, tr("No appointment selected!"), tr("No selection!"),
                                  IWindowing::Icon::Information, IWindowing::Buttons::Ok);
            return;
        }
        const CopiedBooking copy{a->CustomerId(), a->TypeId(),
                                 date_->MinutesBetween(a->StartDtTm(), a->EndDtTm()),
                                 a->Reference()};
        const int32_t limit =
            date_->MinutesAdjust(a->EndDtTm(), kDuplicateReachDays * kMinutesPerDay);
        // Packed day and time values order as the moments do: jump past each booking in the
        // way until the copy fits.
        int32_t start = a->EndDtTm();
        while (start <= limit) {
            const int32_t end = date_->MinutesAdjust(start, copy.minutes);
            const int32_t clash = global_->OverlappingAppointment(0, a->ResourceId(), start, end);
            if (clash == 0) {
                PlaceCopy("Duplicate appointment", copy, a->ResourceId(), start);
                return;
            }
            const int32_t next = global_->AppointmentLoad(clash)->EndDtTm();
            start = next > start ? next : date_->MinutesAdjust(start, 1);
        }
        windowing_.MessageBox(
            this,
            tr("There is no free time as long as %1 on its row within a year after it.")
                .arg(DescribeAppointment(a->Id())),
            tr("Duplicate appointment"), IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok);
    });
}

int32_t DlgMain::PlaceCopy(const char* what, const CopiedBooking& copy, int32_t resourceId,
                           int32_t start) {
    const int32_t end = date_->MinutesAdjust(start, copy.minutes);
    const int32_t clash = global_->OverlappingAppointment(0, resourceId, start, end);
    if (clash != 0) {
        windowing_.MessageBox(
            this,
            tr("The copy would overlap the appointment of %1.").arg(DescribeAppointment(clash)),
            tr(what), IWindowing::Icon::Exclamation, IWindowing::Buttons::Ok);
        return 0;
    }
    int32_t id = 0;
    int32_t saved = 0;
    changes_->Batch(what, [&] {
        saved = changes_->AppointmentSave(id, copy.customerId, resourceId, copy.typeId, start, end,
                                          copy.reference);
    });
    // A failed save is in the error log; a collision cannot come now.
    if (saved <= 0) {
        return 0;
    }
    SelectBooking(saved);
    return saved;
}

void DlgMain::Sched_BarKeySelect(int row, int bar) {
    Trap(kForm, "Sched_BarKeySelect", [&] {
        selectedAppointment_ = sched_->BarData(row, bar);
        // The status bar tells what the keyboard reached, as it does for the pointer.
        Sched_ItemMove(row, bar);
    });
}

void DlgMain::Sched_BarKeyEdit(int row, int bar) {
    Trap(kForm, "Sched_BarKeyEdit", [&] {
        selectedAppointment_ = sched_->BarData(row, bar);
        if (Action(Command::ApptEdit)->isEnabled()) {
            mnuApptEdit_Click();
        }
    });
}

void DlgMain::Sched_BarKeyDelete(int row, int bar) {
    HideZoom();
    Trap(kForm, "Sched_BarKeyDelete", [&] {
        const int32_t id = sched_->BarData(row, bar);
        selectedAppointment_ = id;
        if (global_->AppointmentLoad(id)->Id() == 0 || DeleteSeriesDates(id)) {
            return;
        }
        const QString text = tr("Confirm delete appointment %1?").arg(DescribeAppointment(id));
        if (windowing_.MessageBox(this, text, tr("Confirm!"), IWindowing::Icon::Question,
                                  IWindowing::Buttons::YesNo) != IWindowing::Answer::Yes) {
            return;
        }
        // The grid follows from the change told.
        changes_->Batch("Delete appointment", [&] { changes_->AppointmentDelete(id); });
    });
}
