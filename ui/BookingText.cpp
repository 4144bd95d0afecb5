#include "ui/BookingText.h"

#include <QCoreApplication>

#include "datetime/ClsDate.h"
#include "grid/ScheduleGridPainter.h"
#include "store/ClsGlobal.h"

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("BookingText", text);
}

QString Name(const std::string& name, const char* none) {
    const QString text = QString::fromStdString(name).trimmed();
    return text.isEmpty() ? Tr(none) : text;
}

} // namespace

QString BookingText::DayText(int32_t day) {
    return ScheduleGridPainter::DayLabel(day, 0);
}

QString BookingText::CollisionText(const ClsGlobal& store, int32_t otherId, bool twentyFourHour) {
    return Tr("Collides with %1").arg(Describe(store, otherId, twentyFourHour));
}

// Days split off as the packed value holds them (floor, so days before 1900 come out whole).
QString BookingText::Times(int32_t startDtTm, int32_t endDtTm, bool twentyFourHour) {
    const auto time = [&](int32_t dtTm) {
        return QString::fromStdString(ClsDate::TimeText(dtTm & 2047, twentyFourHour));
    };
    const int32_t startDay = startDtTm >> 11;
    const int32_t endDay = endDtTm >> 11;
    const QString start = DayText(startDay) + u' ' + time(startDtTm);
    const QString end = endDay == startDay ? time(endDtTm) : DayText(endDay) + u' ' + time(endDtTm);
    return Tr("%1 to %2").arg(start, end);
}

QString BookingText::Describe(const ClsGlobal& store, int32_t id, bool twentyFourHour) {
    const auto a = store.AppointmentLoad(id);
    return QStringLiteral("%1, %2, %3")
        .arg(Name(store.CustomerLoad(a->CustomerId())->Name(), "no customer"),
             Name(store.TypeLoad(a->TypeId())->Name(), "no type"),
             Times(a->StartDtTm(), a->EndDtTm(), twentyFourHour));
}

QStringList BookingText::Problems(const ClsGlobal& store, std::span<const PlannedBooking> plan,
                                  std::span<const PlanCheck> checks, bool twentyFourHour) {
    QStringList lines;
    for (size_t i = 0; i < plan.size() && i < checks.size(); ++i) {
        const PlanCheck& c = checks[i];
        if (c.state == PlanCheck::State::Free) {
            continue;
        }
        QString why;
        if (c.state == PlanCheck::State::OutsideRules) {
            why = c.rule == PlanCheck::Rule::EndBeforeStart ? Tr("ends before it starts")
                  : c.rule == PlanCheck::Rule::TooShort     ? Tr("is shorter than its type allows")
                                                            : Tr("is longer than its type allows");
        } else if (c.otherId != 0 && store.Appointments().Exists(c.otherId)) {
            why = Tr("collides with %1").arg(Describe(store, c.otherId, twentyFourHour));
        } else if (c.otherIndex >= 0 && static_cast<size_t>(c.otherIndex) < plan.size()) {
            const PlannedBooking& other = plan[static_cast<size_t>(c.otherIndex)];
            why = Tr("collides with the date moved to %1")
                      .arg(Times(other.startDtTm, other.endDtTm, twentyFourHour));
        } else {
            why = Tr("collides with another booking");
        }
        lines << Tr("%1: %2").arg(Times(plan[i].startDtTm, plan[i].endDtTm, twentyFourHour), why);
    }
    return lines;
}
