#pragma once

#include <QString>

#include <cstdint>

// What the grid asks while the user drags a bar: where the bar may go and whether it may
// stay there. The grid knows nothing of what its bars stand for; whoever fills it answers.
// Times are minutes since day 0, 00:00, as ScheduleGridBar::Start and End.
class IBarPlacer {
public:
    // Which part of the bar the pointer holds.
    enum class Edge { Whole, Start, End };
    struct Wish {
        int32_t data = 0; // the bar's BarData
        int row = 0;      // the row it would go to
        int64_t start = 0;
        int64_t end = 0;
        Edge edge = Edge::Whole;
        bool copy = false;
    };
    struct Place {
        int64_t start = 0;
        int64_t end = 0;
        bool free = true; // false: it would collide, and note says with what
        QString note;
    };

    virtual ~IBarPlacer() = default;
    virtual Place Placed(const Wish& wish) const = 0;
};
