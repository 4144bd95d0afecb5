#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// One bar of a grid row. Times are kept as given; Lo()/Hi() order them so that a bar
// whose end was given before its start still has a sensible extent.
struct ScheduleGridBar {
    int32_t startDay = 0;
    int32_t endDay = 0;
    int32_t startMinute = 0;
    int32_t endMinute = 0;
    int32_t data = 0;
    uint32_t color = 0x00C08040;     // colour reference 0x00BBGGRR
    uint32_t textColor = 0x00FFFFFF; // colour reference 0x00BBGGRR
    bool series = false;             // one of several bookings made as a series
    QString text;

    // Minutes since day 0, 00:00.
    int64_t Start() const { return int64_t{startDay} * 1440 + startMinute; }
    int64_t End() const { return int64_t{endDay} * 1440 + endMinute; }
    int64_t Lo() const { return Start() <= End() ? Start() : End(); }
    int64_t Hi() const { return Start() <= End() ? End() : Start(); }
};

// Rows and bars of the schedule grid, numbered from 1 as the windows see them. Each row
// keeps its bars in insertion order (their numbers) plus an index sorted by start and
// the row's longest bar, so the bars overlapping a time span are found by binary search.
// The index is brought up to date lazily, on the first query after a change.
class ScheduleGridModel {
public:
    void Clear();

    int AddRow(const QString& text);
    int RowCount() const { return static_cast<int>(rows_.size()); }
    bool IsRow(int row) const { return row >= 1 && row <= RowCount(); }
    QString RowText(int row) const;
    int32_t RowData(int row) const;
    void SetRowData(int row, int32_t value);

    // Returns the new bar's number, or 0 when the row does not exist.
    int AddBar(int row, int startMinute, int endMinute, int32_t startDay, int32_t endDay);
    void ClearBars(int row);
    int BarCount(int row) const;
    int TotalBarCount() const { return totalBars_; }
    bool IsBar(int row, int bar) const { return IsRow(row) && bar >= 1 && bar <= BarCount(row); }
    // nullptr when (row, bar) does not exist.
    const ScheduleGridBar* Bar(int row, int bar) const;
    ScheduleGridBar* Bar(int row, int bar);

    // Calls visit(barNumber, bar) for each bar of the row whose extent overlaps the
    // half-open span [from, to) in minutes since day 0, in order of start (a bar of no
    // length counts when it lies inside the span). An empty span visits nothing.
    template <typename Visit>
    void ForEachBarIn(int row, int64_t from, int64_t to, Visit visit) const;
    // How many bars all queries so far have looked at, visited or not.
    int64_t ExaminedBars() const { return examined_; }

private:
    struct Row {
        QString text;
        int32_t data = 0;
        std::vector<ScheduleGridBar> bars;
        // Bar positions (0-based) sorted by Lo(); valid when !unsorted.
        mutable std::vector<int32_t> order;
        mutable int64_t longest = 0;
        mutable bool unsorted = false;
    };

    void Reindex(const Row& row) const;
    // First position in row.order whose bar starts at or after minute.
    static size_t LowerBound(const Row& row, int64_t minute);

    std::vector<Row> rows_;
    int totalBars_ = 0;
    mutable int64_t examined_ = 0;
};

template <typename Visit>
void ScheduleGridModel::ForEachBarIn(int row, int64_t from, int64_t to, Visit visit) const {
    if (!IsRow(row) || to <= from) {
        return;
    }
    const Row& r = rows_[static_cast<size_t>(row - 1)];
    if (r.unsorted) {
        Reindex(r);
    }
    // No bar starting before from - longest can reach into the span.
    for (size_t i = LowerBound(r, from - r.longest); i < r.order.size(); ++i) {
        ++examined_;
        const int32_t pos = r.order[i];
        const ScheduleGridBar& bar = r.bars[static_cast<size_t>(pos)];
        const int64_t lo = bar.Lo();
        if (lo >= to) {
            break;
        }
        if (bar.Hi() > from || (lo == bar.Hi() && lo >= from)) {
            visit(pos + 1, bar);
        }
    }
}
