#pragma once

#include <QString>

#include <cstdint>

// What a dialog may know of the schedule the main window shows, and the one thing it may do
// to it: show a colour at once. Rows count from 1.
class ScheduleView {
public:
    virtual ~ScheduleView() = default;

    virtual int RowCount() const = 0;
    virtual QString RowText(int row) const = 0;
    // The row's resource id.
    virtual int32_t RowData(int row) const = 0;
    // The selected row, 0 for none.
    virtual int CurrentRow() const = 0;
    // The first day shown (day number).
    virtual int32_t DateFirst() const = 0;
    // One of the schedule's colours, by its place in the settings' colour table, shown now.
    virtual void ShowColor(int index, uint32_t colorRef) = 0;
};
