#include "store/SeriesScope.h"

#include <algorithm>

#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"

SeriesScope::Place SeriesScope::PlaceOf(const ClsGlobal& store, int32_t appointmentId) {
    const int32_t series = store.SeriesOf(appointmentId);
    if (series == 0 || store.SeriesSize(series) < 2) {
        return {};
    }
    const std::vector<int32_t> members = store.SeriesMembers(series);
    const auto at = std::find(members.begin(), members.end(), appointmentId);
    return {series, static_cast<int>(at - members.begin()) + 1, static_cast<int>(members.size())};
}

std::vector<int32_t> SeriesScope::Dates(const ClsGlobal& store, int32_t appointmentId,
                                        Reach reach) {
    const Place place = PlaceOf(store, appointmentId);
    if (!place.InSeries() || reach == Reach::OnlyThis) {
        return {appointmentId};
    }
    std::vector<int32_t> members = store.SeriesMembers(place.seriesId);
    if (reach == Reach::ThisAndFollowing) {
        members.erase(members.begin(), members.begin() + (place.position - 1));
    }
    return members;
}

std::vector<PlannedBooking> SeriesScope::Plan(const ClsGlobal& store, std::span<const int32_t> ids,
                                              const Change& change) {
    std::vector<PlannedBooking> plan;
    plan.reserve(ids.size());
    for (int32_t id : ids) {
        const auto a = store.AppointmentLoad(id);
        const int64_t start = ClsDate::MinuteOf(a->StartDtTm()) + change.shift;
        const int64_t length =
            change.minutes ? *change.minutes
                           : ClsDate::MinuteOf(a->EndDtTm()) - ClsDate::MinuteOf(a->StartDtTm());
        plan.push_back(PlannedBooking{
            id, change.customerId.value_or(a->CustomerId()),
            change.resourceId.value_or(a->ResourceId()), change.typeId.value_or(a->TypeId()),
            ClsDate::DtTmOfMinute(start), ClsDate::DtTmOfMinute(start + length),
            change.reference.value_or(a->Reference())});
    }
    return plan;
}
