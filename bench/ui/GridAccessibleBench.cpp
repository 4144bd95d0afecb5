// The schedule grid as a screen reader sees it: the first walk over every row and booking
// after a rebuild (each interface made then), and a rebuild, paint and keyboard selection
// while no reader listens, which must make no interface at all.
#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QDate>
#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>

#include "grid/ScheduleGrid.h"
#include "grid/ScheduleGridAccessible.h"

namespace {

void Ignore(QAccessibleEvent*) {}

// 1,000 rooms with 20 bookings each spread over a month, all of it in the grid's range.
void Fill(ScheduleGrid& grid) {
    const auto first = static_cast<int32_t>(QDate(1900, 1, 1).daysTo(QDate(2026, 12, 1)));
    grid.ClearAll();
    grid.SetListTitle("Rooms");
    for (int r = 1; r <= 1000; ++r) {
        const int row = grid.AddRow(QString("Room %1").arg(r));
        for (int i = 0; i < 20; ++i) {
            const int64_t start = int64_t{first} * 1440 + i * 2160 + (r * 37) % 600;
            const int64_t end = start + 90;
            const int bar =
                grid.AddBar(row, static_cast<int>(start % 1440), static_cast<int>(end % 1440),
                            static_cast<int32_t>(start / 1440), static_cast<int32_t>(end / 1440));
            grid.SetBarText(row, bar, "Northwind Traders");
            grid.SetBarData(row, bar, r * 100 + i);
        }
    }
}

std::unique_ptr<ScheduleGrid> MakeGrid() {
    auto grid = std::make_unique<ScheduleGrid>();
    grid->resize(1600, 900);
    const auto first = static_cast<int32_t>(QDate(1900, 1, 1).daysTo(QDate(2026, 12, 1)));
    grid->SetDateFirst(first);
    grid->SetDateLast(first + 30);
    grid->show();
    return grid;
}

void BM_GridAccessibleFirstWalk(benchmark::State& state) {
    ScheduleGridAccessible::SetListener(Ignore);
    const auto grid = MakeGrid();
    int64_t read = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Fill(*grid); // drops every interface made by the walk before
        state.ResumeTiming();
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(grid.get());
        read = 0;
        for (int i = 0; i < root->childCount(); ++i) {
            QAccessibleInterface* row = root->child(i);
            for (int j = 0; j < row->childCount(); ++j) {
                QAccessibleInterface* bar = row->child(j);
                read += bar->role() == QAccessible::ListItem ? 1 : 0;
                benchmark::DoNotOptimize(bar->text(QAccessible::Name));
                benchmark::DoNotOptimize(bar->rect());
                benchmark::DoNotOptimize(bar->state());
            }
        }
    }
    state.counters["bars"] = static_cast<double>(read);
    ScheduleGridAccessible::SetListener(nullptr);
}
BENCHMARK(BM_GridAccessibleFirstWalk)->Unit(benchmark::kMillisecond);

void BM_GridWithoutReader(benchmark::State& state) {
    ScheduleGridAccessible::SetListener(nullptr);
    const auto grid = MakeGrid();
    QImage image(grid->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    const int64_t before = ScheduleGridAccessible::PartsMade();
    for (auto _ : state) {
        Fill(*grid);
        grid->viewport()->render(&image);
        grid->SetSelectedBar(500, 10);
    }
    state.counters["made"] = static_cast<double>(ScheduleGridAccessible::PartsMade() - before);
    state.counters["listening"] = ScheduleGridAccessible::Listening() ? 1 : 0;
}
BENCHMARK(BM_GridWithoutReader)->Unit(benchmark::kMillisecond);

} // namespace
