#pragma once

#include <QString>

#include <cstdint>
#include <vector>

class ClsGlobal;
class QFont;
class ScheduleGrid;

// The schedule's rows in order (name and resource id), the resource-column title, the fill
// and text colours, the weekend days and the width of the title column: what the main
// window's grid shows and the report is made of.
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
    int listWidth = 0;   // the grid's title column, pixels
    std::vector<Row> rows;

    // What the schedule shows for the store: resources sorted by name without regard to case,
    // equal names in store order, and the stored colours. The list width is left 0: a grid
    // measures its own.
    static ScheduleRows FromStore(const ClsGlobal& store);
    // The same with the list width a grid in that font would give its title column.
    static ScheduleRows FromStore(const ClsGlobal& store, const QFont& font);
    // The rows and properties of a schedule grid as it stands.
    static ScheduleRows FromGrid(const ScheduleGrid& grid);

    // Clears the grid and gives it the title, the colours and the rows, without bars.
    void ShowIn(ScheduleGrid& grid) const;
};
