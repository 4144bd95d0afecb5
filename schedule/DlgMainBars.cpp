// Bookings moved, resized and copied by hand on the main window: dropped bars and the keys
// that nudge the selected booking.
#include <QStatusBar>

#include <algorithm>
#include <string>

#include "grid/ScheduleGrid.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"
#include "ui/Trap.h"

namespace {
constexpr const char* kForm = "DlgMain";
constexpr int kNoteMilliseconds = 10000;
} // namespace

QString DlgMain::StatusNote() const {
    return statusBar()->currentMessage();
}

void DlgMain::ShowNote(const QString& note, bool lasting) {
    if (note.isEmpty()) {
        statusBar()->clearMessage();
    } else {
        statusBar()->showMessage(note, lasting ? kNoteMilliseconds : 0);
    }
}

void DlgMain::Sched_BarDragNote(const QString& note) {
    ShowNote(note, false);
}

void DlgMain::Sched_BarDropped(const ScheduleGrid::Drop& drop) {
    Trap(kForm, "Sched_BarDropped", [&] {
        const auto booking = global_->AppointmentLoad(sched_->BarData(drop.row, drop.bar));
        if (booking->Id() == 0) {
            return;
        }
        const auto edge = static_cast<BookingPlacement::Edge>(drop.edge);
        if (!drop.copy &&
            MoveSeriesDates(*booking, sched_->RowData(drop.toRow), drop.start, drop.end, edge)) {
            return;
        }
        PlaceBooking(*booking, sched_->RowData(drop.toRow), drop.start, drop.end, edge,
                     drop.copy && edge == BookingPlacement::Edge::Whole);
    });
}

void DlgMain::mnuApptEarlier_Click() {
    Trap(kForm, "mnuApptEarlier_Click", [&] { NudgeBooking(-1, 0, 0); });
}

void DlgMain::mnuApptLater_Click() {
    Trap(kForm, "mnuApptLater_Click", [&] { NudgeBooking(1, 0, 0); });
}

void DlgMain::mnuApptShorten_Click() {
    Trap(kForm, "mnuApptShorten_Click", [&] { NudgeBooking(0, -1, 0); });
}

void DlgMain::mnuApptLengthen_Click() {
    Trap(kForm, "mnuApptLengthen_Click", [&] { NudgeBooking(0, 1, 0); });
}

void DlgMain::mnuApptRowUp_Click() {
    Trap(kForm, "mnuApptRowUp_Click", [&] { NudgeBooking(0, 0, -1); });
}

void DlgMain::mnuApptRowDown_Click() {
    Trap(kForm, "mnuApptRowDown_Click", [&] { NudgeBooking(0, 0, 1); });
}

void DlgMain::NudgeBooking(int shift, int stretch, int rows) {
    HideZoom();
    const auto booking = global_->AppointmentLoad(selectedAppointment_);
    if (selectedAppointment_ == 0 || booking->Id() == 0) {
        ShowNote(tr("No appointment selected!"), true);
        return;
    }
    int32_t resourceId = booking->ResourceId();
    if (rows != 0) {
        int row = 0;
        for (int r = 1; r <= sched_->RowCount() && row == 0; ++r) {
            row = sched_->RowData(r) == resourceId ? r : 0;
        }
        const int target = row + rows;
        if (row == 0 || target < 1 || target > sched_->RowCount()) {
            return;
        }
        resourceId = sched_->RowData(target);
    }
    const int64_t step = std::max(global_->TypeLoad(booking->TypeId())->IncTime(), 1);
    const int64_t start = placement_->Minutes(booking->StartDtTm()) + shift * step;
    const int64_t end = placement_->Minutes(booking->EndDtTm()) + (shift + stretch) * step;
    const auto edge = stretch != 0 ? BookingPlacement::Edge::End : BookingPlacement::Edge::Whole;
    if (!PlaceBooking(*booking, resourceId, start, end, edge, false) && StatusNote().isEmpty() &&
        stretch != 0) {
        ShowNote(stretch < 0 ? tr("Its type allows no shorter appointment.")
                             : tr("Its type allows no longer appointment."),
                 true);
    }
}

bool DlgMain::PlaceBooking(const ClsAppointment& booking, int32_t resourceId, int64_t start,
                           int64_t end, BookingPlacement::Edge edge, bool copy, bool takeOut) {
    ShowNote(QString(), false);
    const BookingPlacement::Result r =
        placement_->Place(booking, resourceId, start, end, edge, copy);
    if (r.collidesWith != 0) {
        ShowNote(placement_->CollisionText(r.collidesWith, global_->Option(4)), true);
        return false;
    }
    const int32_t startDtTm = placement_->StartDtTm(r);
    const int32_t endDtTm = placement_->EndDtTm(r);
    if (!copy && resourceId == booking.ResourceId() && startDtTm == booking.StartDtTm() &&
        endDtTm == booking.EndDtTm()) {
        return false;
    }
    // Copied out first: saving replaces the stored record the booking may refer to.
    const int32_t customerId = booking.CustomerId();
    const int32_t typeId = booking.TypeId();
    const std::string reference = booking.Reference();
    int32_t id = copy ? 0 : booking.Id();
    int32_t saved = 0;
    const char* what = copy                                    ? "Copy appointment"
                       : edge == BookingPlacement::Edge::Whole ? "Move appointment"
                                                               : "Resize appointment";
    changes_->Batch(what, [&] {
        saved = changes_->AppointmentSave(id, customerId, resourceId, typeId, startDtTm, endDtTm,
                                          reference);
        if (takeOut && saved > 0) {
            changes_->SetSeries(saved, 0);
        }
    });
    if (saved < 1) {
        ShowNote(tr("Unable to save appointment!"), true);
        return false;
    }
    SelectBooking(saved);
    return true;
}

void DlgMain::SelectBooking(int32_t id) {
    const auto booking = global_->AppointmentLoad(id);
    for (int row = 1; row <= sched_->RowCount(); ++row) {
        if (sched_->RowData(row) != booking->ResourceId()) {
            continue;
        }
        for (int bar = 1; bar <= sched_->BarCount(row); ++bar) {
            if (sched_->BarData(row, bar) == id) {
                sched_->SetCurrentRow(row);
                sched_->SetSelectedBar(row, bar);
                sched_->ScrollToBar(row, bar);
                selectedAppointment_ = id;
                return;
            }
        }
    }
    // Moved out of the shown range: the range follows it.
    ShowFoundAppointment(id);
}
