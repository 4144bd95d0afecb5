#include "ui/ScheduleRows.h"

#include <QFontMetrics>

#include <algorithm>

#include "grid/ScheduleGrid.h"
#include "store/ClsGlobal.h"

ScheduleRows ScheduleRows::FromStore(const ClsGlobal& store) {
    ScheduleRows s;
    s.listTitle = QString::fromStdString(store.ResourceType());
    s.backColor = static_cast<uint32_t>(store.Color(0));
    s.titleBackColor = static_cast<uint32_t>(store.Color(1));
    s.rulerColor = static_cast<uint32_t>(store.Color(2));
    s.listBackColor = static_cast<uint32_t>(store.Color(3));
    s.weekendColor = static_cast<uint32_t>(store.Color(4));
    s.titleForeColor = ScheduleGrid::ForeColorOn(s.titleBackColor);
    s.listForeColor = ScheduleGrid::ForeColorOn(s.listBackColor);
    s.weekendMask = ScheduleGrid::kWeekendMask;
    s.rows.reserve(store.Resources().Count());
    for (const ClsResource& r : store.Resources()) {
        s.rows.push_back({QString::fromStdString(r.Name()), r.Id()});
    }
    // Like a sorted list box: without regard to case; equal names keep store order.
    std::stable_sort(s.rows.begin(), s.rows.end(), [](const Row& a, const Row& b) {
        return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
    });
    return s;
}

ScheduleRows ScheduleRows::FromStore(const ClsGlobal& store, const QFont& font) {
    ScheduleRows s = FromStore(store);
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const Row& r : s.rows) {
        widest = std::max(widest, ScheduleGrid::RowTextWidth(metrics, r.text));
    }
    s.listWidth =
        ScheduleGrid::ListWidthFor(ScheduleGrid::TitleTextWidth(font, s.listTitle), widest);
    return s;
}

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

void ScheduleRows::ShowIn(ScheduleGrid& grid) const {
    grid.ClearAll();
    grid.SetListTitle(listTitle);
    grid.SetBackColor(backColor);
    grid.SetTitleBackColor(titleBackColor);
    grid.SetRulerColor(rulerColor);
    grid.SetListBackColor(listBackColor);
    grid.SetWeekendColor(weekendColor);
    for (const Row& r : rows) {
        grid.SetRowData(grid.AddRow(r.text), r.id);
    }
}
