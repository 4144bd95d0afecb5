#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class ClsGlobal;
class ScheduleGrid;

// What the report reads from the schedule: its rows in order (name and resource id), the
// resource-column title, the fill and text colours, the weekend days and the width of the
// title column.
struct ScheduleRows {
    struct Row {
        QString text;
        int32_t id = 0;
    };
    QString listTitle;
    uint32_t backColor = 0x00FFFFFF;
    uint32_t titleBackColor = 0x00FFFFFF;
    uint32_t rulerColor = 0x00FFFFFF;
    uint32_t listBackColor = 0x00FFFFFF;
    uint32_t weekendColor = 0x00FFFFFF;
    uint32_t titleForeColor = 0;
    uint32_t listForeColor = 0;
    int weekendMask = 0; // bit 0 Sunday .. bit 6 Saturday
    int listWidth = 0;   // the grid's title column
    std::vector<Row> rows;

    // The rows and properties of a schedule grid as it stands.
    static ScheduleRows FromGrid(const ScheduleGrid& grid);
};

// Fills a grid that nobody sees with the rows and settings the main window's schedule would
// show for the store (resources sorted by name without regard to case, equal names in store
// order), without bars: what the report needs where there is no main window.
void FillScheduleRows(ScheduleGrid& grid, const ClsGlobal& store);
