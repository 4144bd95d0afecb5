#include "grid/ScheduleGridModel.h"

#include <algorithm>
#include <numeric>
#include <utility>

void ScheduleGridModel::Clear() {
    rows_.clear();
    totalBars_ = 0;
}

int ScheduleGridModel::AddRow(const QString& text) {
    rows_.push_back(Row{});
    rows_.back().text = text;
    return RowCount();
}

QString ScheduleGridModel::RowText(int row) const {
    return IsRow(row) ? rows_[static_cast<size_t>(row - 1)].text : QString();
}

int32_t ScheduleGridModel::RowData(int row) const {
    return IsRow(row) ? rows_[static_cast<size_t>(row - 1)].data : 0;
}

void ScheduleGridModel::SetRowData(int row, int32_t value) {
    if (IsRow(row)) {
        rows_[static_cast<size_t>(row - 1)].data = value;
    }
}

int ScheduleGridModel::AddBar(int row, int startMinute, int endMinute, int32_t startDay,
                              int32_t endDay) {
    if (!IsRow(row)) {
        return 0;
    }
    Row& r = rows_[static_cast<size_t>(row - 1)];
    ScheduleGridBar bar;
    bar.startDay = startDay;
    bar.endDay = endDay;
    bar.startMinute = startMinute;
    bar.endMinute = endMinute;
    // Bars usually arrive in order of start: keep the index valid without a re-sort.
    if (!r.unsorted) {
        if (r.order.empty() || r.bars[static_cast<size_t>(r.order.back())].Lo() <= bar.Lo()) {
            r.order.push_back(static_cast<int32_t>(r.bars.size()));
            r.longest = std::max(r.longest, bar.Hi() - bar.Lo());
        } else {
            r.unsorted = true;
        }
    }
    r.bars.push_back(std::move(bar));
    ++totalBars_;
    return static_cast<int>(r.bars.size());
}

void ScheduleGridModel::ClearBars(int row) {
    if (IsRow(row)) {
        Row& r = rows_[static_cast<size_t>(row - 1)];
        totalBars_ -= static_cast<int>(r.bars.size());
        r.bars.clear();
        r.order.clear();
        r.longest = 0;
        r.unsorted = false;
    }
}

int ScheduleGridModel::BarCount(int row) const {
    return IsRow(row) ? static_cast<int>(rows_[static_cast<size_t>(row - 1)].bars.size()) : 0;
}

const ScheduleGridBar* ScheduleGridModel::Bar(int row, int bar) const {
    if (!IsBar(row, bar)) {
        return nullptr;
    }
    return &rows_[static_cast<size_t>(row - 1)].bars[static_cast<size_t>(bar - 1)];
}

ScheduleGridBar* ScheduleGridModel::Bar(int row, int bar) {
    return const_cast<ScheduleGridBar*>(std::as_const(*this).Bar(row, bar));
}

void ScheduleGridModel::Reindex(const Row& row) const {
    row.order.resize(row.bars.size());
    std::iota(row.order.begin(), row.order.end(), 0);
    std::stable_sort(row.order.begin(), row.order.end(), [&row](int32_t a, int32_t b) {
        return row.bars[static_cast<size_t>(a)].Lo() < row.bars[static_cast<size_t>(b)].Lo();
    });
    row.longest = 0;
    for (const ScheduleGridBar& bar : row.bars) {
        row.longest = std::max(row.longest, bar.Hi() - bar.Lo());
    }
    row.unsorted = false;
}

size_t ScheduleGridModel::LowerBound(const Row& row, int64_t minute) {
    const auto it = std::partition_point(row.order.begin(), row.order.end(), [&](int32_t pos) {
        return row.bars[static_cast<size_t>(pos)].Lo() < minute;
    });
    return static_cast<size_t>(it - row.order.begin());
}
