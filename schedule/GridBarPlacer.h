#pragma once

#include "grid/IBarPlacer.h"
#include "schedule/BookingPlacement.h"

class ClsGlobal;
class ScheduleGrid;

// The main window's answer to the grid while a bar is dragged: the bar's booking placed on
// the row's resource by the booking rules.
class GridBarPlacer : public IBarPlacer {
public:
    GridBarPlacer(const ClsGlobal& store, const BookingPlacement& placement,
                  const ScheduleGrid& grid)
        : store_(store), placement_(placement), grid_(grid) {}

    Place Placed(const Wish& wish) const override;

private:
    const ClsGlobal& store_;
    const BookingPlacement& placement_;
    const ScheduleGrid& grid_;
};
