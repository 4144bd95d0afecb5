#include "schedule/ScheduleGridView.h"

#include <iterator>

#include "grid/ScheduleGrid.h"

namespace {
// The grid property each colour drives, in the order of the settings' colour table.
void (ScheduleGrid::*const kGridColors[])(uint32_t) = {
    &ScheduleGrid::SetBackColor, &ScheduleGrid::SetTitleBackColor, &ScheduleGrid::SetRulerColor,
    &ScheduleGrid::SetListBackColor, &ScheduleGrid::SetWeekendColor};
} // namespace

int ScheduleGridView::RowCount() const {
    return grid_.RowCount();
}

QString ScheduleGridView::RowText(int row) const {
    return grid_.RowText(row);
}

int32_t ScheduleGridView::RowData(int row) const {
    return grid_.RowData(row);
}

int ScheduleGridView::CurrentRow() const {
    return grid_.CurrentRow();
}

int32_t ScheduleGridView::DateFirst() const {
    return grid_.DateFirst();
}

void ScheduleGridView::ShowColor(int index, uint32_t colorRef) {
    if (index >= 0 && index < static_cast<int>(std::size(kGridColors))) {
        (grid_.*kGridColors[index])(colorRef);
    }
}
