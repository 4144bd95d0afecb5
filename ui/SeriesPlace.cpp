#include "ui/SeriesPlace.h"

#include <algorithm>
#include <vector>

#include "store/ClsGlobal.h"

bool SeriesPlace::Marked(const ClsGlobal& store, int32_t appointmentId) {
    if (store.Series().Empty()) {
        return false;
    }
    const int32_t series = store.SeriesOf(appointmentId);
    return series != 0 && store.SeriesSize(series) >= 2;
}

QString SeriesPlace::Note(const ClsGlobal& store, int32_t appointmentId) {
    if (!Marked(store, appointmentId)) {
        return QString();
    }
    const std::vector<int32_t> members = store.SeriesMembers(store.SeriesOf(appointmentId));
    const auto at = std::find(members.begin(), members.end(), appointmentId);
    if (at == members.end()) {
        return QString();
    }
    return QStringLiteral("Series: %1 of %2").arg(at - members.begin() + 1).arg(members.size());
}
