// The schedule grid on its own: a rebuild as the main window does it (ClearAll, rows,
// bars with text, data and colours) followed by the first full paint, and a repaint
// after scrolling, which must not grow with bars that lie out of view.
#include <benchmark/benchmark.h>

#include <QDate>
#include <QImage>
#include <QScrollBar>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>

#include "grid/ScheduleGrid.h"

namespace {

int32_t DayOf(int year, int month, int day) {
    return static_cast<int32_t>(QDate(1900, 1, 1).daysTo(QDate(year, month, day)));
}

const std::array<QString, 6> kCustomers = {"Smith & Sons",      "Acme Corporation", "J. Doe",
                                           "Northwind Traders", "Globex",           "Initech"};
constexpr std::array<uint32_t, 6> kColors = {0x00C08040, 0x004080FF, 0x0040C040,
                                             0x0080FFFF, 0x00800080, 0x00E0E0E0};

std::unique_ptr<ScheduleGrid> MakeGrid(int32_t first, int32_t last) {
    auto grid = std::make_unique<ScheduleGrid>();
    grid->resize(1600, 900);
    grid->SetDateFirst(first);
    grid->SetDateLast(last);
    grid->show();
    return grid;
}

// Spreads barsPerRow bars evenly over [first, last], each row shifted a little, in order
// of start as the store usually holds them.
void AddBars(ScheduleGrid& grid, int row, int barsPerRow, int32_t first, int32_t last) {
    const int64_t span = (int64_t{last} - first + 1) * 1440;
    const int64_t slot = span / barsPerRow;
    for (int i = 0; i < barsPerRow; ++i) {
        const int64_t start = int64_t{first} * 1440 + i * slot + (row * 37) % (slot / 2 + 1);
        const int64_t end = start + std::max<int64_t>(15, slot / 2);
        const int bar =
            grid.AddBar(row, static_cast<int>(start % 1440), static_cast<int>(end % 1440),
                        static_cast<int32_t>(start / 1440), static_cast<int32_t>(end / 1440));
        const size_t pick = static_cast<size_t>(row + i) % kCustomers.size();
        grid.SetBarText(row, bar, kCustomers[pick]);
        grid.SetBarData(row, bar, row * 100000 + i);
        grid.SetBarColor(row, bar, kColors[pick]);
        grid.SetBarTextColor(row, bar, 0x00FFFFFF);
    }
}

void Fill(ScheduleGrid& grid, int rows, int bars) {
    grid.ClearAll();
    grid.SetListTitle("Rooms");
    for (int r = 1; r <= rows; ++r) {
        const int row = grid.AddRow(QString("Room %1").arg(r));
        grid.SetRowData(row, r);
        AddBars(grid, row, bars / rows, grid.DateFirst(), grid.DateLast());
    }
}

// Arguments: rows, bars, view (0 a week, 2 a month).
void BM_GridFillAndFirstPaint(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const int bars = static_cast<int>(state.range(1));
    const bool month = state.range(2) == 2;
    const auto grid = month ? MakeGrid(DayOf(2026, 12, 1), DayOf(2026, 12, 31))
                            : MakeGrid(DayOf(2026, 12, 7), DayOf(2026, 12, 13));
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        Fill(*grid, rows, bars);
        grid->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["drawn"] = grid->PaintedBarCount();
}
BENCHMARK(BM_GridFillAndFirstPaint)
    ->ArgNames({"rows", "bars", "view"})
    ->Args({50, 1000, 0})
    ->Args({200, 5000, 2})
    ->Args({1000, 20000, 2})
    ->Unit(benchmark::kMillisecond);

// Arguments: bars per row inside the shown month, bars per row elsewhere in the year.
void BM_GridRepaintAfterScroll(benchmark::State& state) {
    const int inRange = static_cast<int>(state.range(0));
    const int outside = static_cast<int>(state.range(1));
    const int32_t first = DayOf(2026, 12, 1);
    const int32_t last = DayOf(2026, 12, 31);
    const auto grid = MakeGrid(first, last);
    grid->ClearAll();
    constexpr int kRows = 1000;
    for (int r = 1; r <= kRows; ++r) {
        const int row = grid->AddRow(QString("Room %1").arg(r));
        if (outside > 0) {
            AddBars(*grid, row, outside / 2, DayOf(2026, 1, 1), first - 1);
        }
        AddBars(*grid, row, inRange, first, last);
        if (outside > 0) {
            AddBars(*grid, row, outside / 2, last + 1, DayOf(2027, 11, 30));
        }
    }
    QImage image(grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    grid->viewport()->render(&image); // sorts nothing, but settles the layout
    QScrollBar* h = grid->horizontalScrollBar();
    QScrollBar* v = grid->verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        ++step;
        h->setValue((step * 997) % (h->maximum() + 1));
        v->setValue((step * 7919) % (v->maximum() + 1));
        grid->viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["bars"] = grid->Model().TotalBarCount();
    state.counters["drawn"] = grid->PaintedBarCount();
    state.counters["examined"] = grid->ExaminedBarCount();
}
BENCHMARK(BM_GridRepaintAfterScroll)
    ->ArgNames({"inRange", "outside"})
    ->Args({20, 0})
    ->Args({20, 180})
    ->Unit(benchmark::kMillisecond);

} // namespace
