#include "schedule/GridBarPlacer.h"

#include "grid/ScheduleGrid.h"
#include "store/ClsGlobal.h"

static_assert(static_cast<int>(IBarPlacer::Edge::Start) ==
                  static_cast<int>(BookingPlacement::Edge::Start) &&
              static_cast<int>(IBarPlacer::Edge::End) ==
                  static_cast<int>(BookingPlacement::Edge::End));

IBarPlacer::Place GridBarPlacer::Placed(const Wish& wish) const {
    const auto booking = store_.AppointmentLoad(wish.data);
    if (booking->Id() == 0) {
        // Gone meanwhile: the drop will find nothing to move.
        return {wish.start, wish.end, true, QString()};
    }
    const BookingPlacement::Result r =
        placement_.Place(*booking, grid_.RowData(wish.row), wish.start, wish.end,
                         static_cast<BookingPlacement::Edge>(wish.edge), wish.copy);
    Place place{r.start, r.end, r.collidesWith == 0, QString()};
    if (r.collidesWith != 0) {
        place.note = placement_.CollisionText(r.collidesWith, store_.Option(4));
    }
    return place;
}
