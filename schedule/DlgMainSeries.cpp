// Deleting and dragging a date of a series on the main window.
#include "datetime/ClsDate.h"
#include "dialogs/SeriesSteps.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "store/SeriesScope.h"
#include "ui/Services.h"

bool DlgMain::DeleteSeriesDates(int32_t id) {
    if (!SeriesScope::PlaceOf(*global_, id).InSeries()) {
        return false;
    }
    SeriesSteps steps(*services_, this);
    if (const auto answer = steps.Ask(id, DlgSeriesScope::Purpose::Delete)) {
        steps.Delete(SeriesScope::Dates(*global_, id, answer->reach));
    }
    return true;
}

bool DlgMain::MoveSeriesDates(const ClsAppointment& booking, int32_t resourceId, int64_t start,
                              int64_t end, BookingPlacement::Edge edge) {
    const int32_t id = booking.Id();
    const int32_t series = SeriesScope::PlaceOf(*global_, id).seriesId;
    if (series == 0) {
        return false;
    }
    ShowNote(QString(), false);
    const BookingPlacement::Result placed =
        placement_->Place(booking, resourceId, start, end, edge, false);
    const int32_t startDtTm = placement_->StartDtTm(placed);
    const int32_t endDtTm = placement_->EndDtTm(placed);
    // Dropped where it was: nothing to ask.
    if (resourceId == booking.ResourceId() && startDtTm == booking.StartDtTm() &&
        endDtTm == booking.EndDtTm()) {
        return true;
    }
    SeriesSteps steps(*services_, this);
    const auto answer = steps.Ask(id, DlgSeriesScope::Purpose::Change);
    if (!answer) {
        return true;
    }
    if (answer->reach == SeriesScope::Reach::OnlyThis) {
        PlaceBooking(booking, resourceId, start, end, edge, false, answer->takeOut);
        return true;
    }
    SeriesScope::Change change;
    change.shift = ClsDate::MinuteOf(startDtTm) - ClsDate::MinuteOf(booking.StartDtTm());
    if (resourceId != booking.ResourceId()) {
        change.resourceId = resourceId;
    }
    if (edge != BookingPlacement::Edge::Whole) {
        change.minutes =
            static_cast<int32_t>(ClsDate::MinuteOf(endDtTm) - ClsDate::MinuteOf(startDtTm));
    }
    const auto plan =
        SeriesScope::Plan(*global_, SeriesScope::Dates(*global_, id, answer->reach), change);
    const QString verb = edge == BookingPlacement::Edge::Whole ? tr("Move") : tr("Resize");
    if (steps.Move(plan, series, verb) && global_->Appointments().Exists(id)) {
        SelectBooking(id);
    }
    return true;
}
