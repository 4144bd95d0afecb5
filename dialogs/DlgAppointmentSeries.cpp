// The appointment dialog's save of a date of a series.
#include "datetime/ClsDate.h"
#include "dialogs/DlgAppointment.h"
#include "dialogs/SeriesSteps.h"
#include "store/ClsGlobal.h"
#include "store/SeriesScope.h"

bool DlgAppointment::SaveSeriesDates(const PlannedBooking& edit, bool& takeOut) {
    takeOut = false;
    if (edit.id == 0) {
        return false;
    }
    const ClsGlobal& store = services_.store;
    // Saved as it stands: nothing for the other dates to follow.
    const auto stored = store.AppointmentLoad(edit.id);
    if (stored->CustomerId() == edit.customerId && stored->ResourceId() == edit.resourceId &&
        stored->TypeId() == edit.typeId && stored->StartDtTm() == edit.startDtTm &&
        stored->EndDtTm() == edit.endDtTm && stored->Reference() == edit.reference) {
        return false;
    }
    SeriesSteps steps(services_, this);
    const auto answer = steps.Ask(edit.id, DlgSeriesScope::Purpose::Change);
    if (!answer) {
        return true;
    }
    const auto& was = stored;
    if (answer->reach == SeriesScope::Reach::OnlyThis) {
        takeOut = answer->takeOut &&
                  (edit.startDtTm != was->StartDtTm() || edit.endDtTm != was->EndDtTm());
        return false;
    }
    const int64_t start = ClsDate::MinuteOf(edit.startDtTm);
    SeriesScope::Change change;
    change.shift = start - ClsDate::MinuteOf(was->StartDtTm());
    change.minutes = static_cast<int32_t>(ClsDate::MinuteOf(edit.endDtTm) - start);
    change.customerId = edit.customerId;
    change.resourceId = edit.resourceId;
    change.typeId = edit.typeId;
    change.reference = edit.reference;
    const int32_t series = store.SeriesOf(edit.id);
    const auto plan =
        SeriesScope::Plan(store, SeriesScope::Dates(store, edit.id, answer->reach), change);
    if (steps.Move(plan, series, tr("Edit"))) {
        accept();
    }
    return true;
}
