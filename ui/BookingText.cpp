#include "ui/BookingText.h"

#include <QCoreApplication>

#include "datetime/ClsDate.h"
#include "grid/ScheduleGridPainter.h"
#include "store/ClsGlobal.h"

namespace {
QString Tr(const char* text) {
    return QCoreApplication::translate("BookingText", text);
}
} // namespace

QString BookingText::DayText(int32_t day) {
    return ScheduleGridPainter::DayLabel(day, 0);
}

QString BookingText::Describe(int32_t appointmentId, bool twentyFourHour) const {
    const auto booking = store_.AppointmentLoad(appointmentId);
    const QString customer =
        QString::fromStdString(store_.CustomerLoad(booking->CustomerId())->Name());
    const QString type = QString::fromStdString(store_.TypeLoad(booking->TypeId())->Name());
    const int32_t startDay = date_.SplitDateVal(booking->StartDtTm());
    const int32_t endDay = date_.SplitDateVal(booking->EndDtTm());
    const auto time = [&](int32_t dtTm) {
        return QString::fromStdString(ClsDate::TimeText(date_.SplitTimeVal(dtTm), twentyFourHour));
    };
    const QString start = DayText(startDay) + u' ' + time(booking->StartDtTm());
    const QString end = endDay == startDay ? time(booking->EndDtTm())
                                           : DayText(endDay) + u' ' + time(booking->EndDtTm());
    return Tr("%1, %2, %3 to %4")
        .arg(customer.isEmpty() ? Tr("no customer") : customer,
             type.isEmpty() ? Tr("no type") : type, start, end);
}

QString BookingText::CollisionText(int32_t otherId, bool twentyFourHour) const {
    return Tr("Collides with %1").arg(Describe(otherId, twentyFourHour));
}
