#include "ui/ScheduleRows.h"

#include <algorithm>

#include "grid/ScheduleGrid.h"
#include "store/ClsGlobal.h"

ScheduleRows ScheduleRows::FromGrid(const ScheduleGrid& grid) {
    ScheduleRows s;
    s.listTitle = grid.ListTitle();
    s.backColor = grid.BackColor();
    s.titleBackColor = grid.TitleBackColor();
    s.rulerColor = grid.RulerColor();
    s.listBackColor = grid.ListBackColor();
    s.weekendColor = grid.WeekendColor();
    s.titleForeColor = grid.TitleForeColor();
    s.listForeColor = grid.ListForeColor();
    s.weekendMask = grid.WeekendMask();
    s.listWidth = grid.ListWidth();
    s.rows.reserve(static_cast<size_t>(grid.RowCount()));
    for (int row = 1; row <= grid.RowCount(); ++row) {
        s.rows.push_back({grid.RowText(row), grid.RowData(row)});
    }
    return s;
}

void FillScheduleRows(ScheduleGrid& grid, const ClsGlobal& store) {
    grid.ClearAll();
    grid.SetListTitle(QString::fromStdString(store.ResourceType()));
    grid.SetBackColor(static_cast<uint32_t>(store.Color(0)));
    grid.SetTitleBackColor(static_cast<uint32_t>(store.Color(1)));
    grid.SetRulerColor(static_cast<uint32_t>(store.Color(2)));
    grid.SetListBackColor(static_cast<uint32_t>(store.Color(3)));
    grid.SetWeekendColor(static_cast<uint32_t>(store.Color(4)));
    std::vector<ScheduleRows::Row> sorted;
    sorted.reserve(store.Resources().Count());
    for (const ClsResource& r : store.Resources()) {
        sorted.push_back({QString::fromStdString(r.Name()), r.Id()});
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
    });
    for (const ScheduleRows::Row& r : sorted) {
        grid.SetRowData(grid.AddRow(r.text), r.id);
    }
}
