#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

#include "dialogs/DlgSeriesScope.h"
#include "store/SeriesScope.h"

class QWidget;
struct Services;

// What a change or delete of one date of a series goes through, wherever it starts: the
// question how far it goes, then the dates changed or deleted as one step.
class SeriesSteps {
public:
    SeriesSteps(const Services& services, QWidget* parent);

    struct Answer {
        SeriesScope::Reach reach = SeriesScope::Reach::OnlyThis;
        bool takeOut = false;
    };
    // Asks how far the change of the booking goes; nothing when the user cancelled. A
    // booking in no series is asked nothing: only itself.
    std::optional<Answer> Ask(int32_t appointmentId, DlgSeriesScope::Purpose purpose);

    // Moves the dates as planned, kept in the series, as one step named
    // "<verb> N appointments of a series". When some are not free the user is shown why and
    // asked whether the free ones move alone. False when nothing moved.
    bool Move(std::span<const PlannedBooking> plan, int32_t seriesId, const QString& verb);
    // Deletes the dates as one step.
    void Delete(std::span<const int32_t> ids);

private:
    const Services& services_;
    QWidget* parent_;
};
