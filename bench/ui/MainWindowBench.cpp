// What the user waits for in the main window: a rebuild with its first paint, the
// rebuild of a million-appointment store, and the start of the program.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <iterator>
#include <memory>

#include "base/ModError.h"
#include "bench/common/BenchData.h"
#include "bench/ui/BenchEnd.h"
#include "bench/ui/BenchWindowing.h"
#include "datetime/ClsDate.h"
#include "grid/ScheduleGrid.h"
#include "platform/IWindowing.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "store/ProgramFolders.h"
#include "store/StoreChanges.h"

namespace {

// Answers as a user who backs out; nothing here should ask anything.

BenchWindowing windowing;

struct Scenario {
    int32_t resources;
    int32_t bookings;
    int viewType;
};

BenchStore ShapeOf(const Scenario& s, int32_t spanDays) {
    BenchStore shape;
    shape.resources = s.resources;
    shape.customers = 1000;
    shape.types = 20;
    shape.appointments = s.bookings;
    shape.spanDays = spanDays;
    return shape;
}

// A window on the store that does not write it back when it goes.
std::unique_ptr<DlgMain> OpenWindow(const std::string& folder, int viewType, int32_t firstDay) {
    ModError::SetLogFile(ProgramFolders{folder}.LogFile());
    auto window = std::make_unique<DlgMain>(windowing, ProgramFolders{folder});
    // Size the window so that its own layout gives the grid 1600 x 900.
    for (int i = 0; i < 3 && window->Sched()->size() != QSize(1600, 900); ++i) {
        QSize grid = window->Sched()->size();
        window->resize(window->size() + QSize(1600, 900) - grid);
        QCoreApplication::sendPostedEvents();
        window->layout()->activate();
        QResizeEvent resize(window->size(), window->size());
        QCoreApplication::sendEvent(window.get(), &resize);
    }
    window->Sched()->SetTimeType(viewType);
    window->Sched()->SetDateFirst(firstDay);
    return window;
}

void Paint(ScheduleGrid& grid, QImage& image) {
    QPainter painter(&image);
    grid.render(&painter);
}

// (a) 50 resources, 1,000 bookings, week; (b) 200 / 5,000, month; (c) 1,000 / 20,000, month.
void BM_RebuildAndFirstPaint(benchmark::State& state) {
    Scenario s{static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)),
               static_cast<int>(state.range(2))};
    BenchStore shape = ShapeOf(s, s.viewType == 0 ? 7 : 28);
    shape.firstDay = ClsDate::DayNumberFromCivil(2027, 2, 1); // a Monday, a 28-day month
    auto window = OpenWindow(BenchFolder(shape), s.viewType, shape.firstDay);
    int32_t start = shape.firstDay;
    window->SetScheduleDates(start);
    if (window->Sched()->size() != QSize(1600, 900)) {
        state.SkipWithError("the grid is not 1600 x 900");
        return;
    }
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        window->ShowResources();
        Paint(*window->Sched(), image);
    }
    int bars = 0;
    for (int r = 1; r <= window->Sched()->RowCount(); ++r) {
        bars += window->Sched()->BarCount(r);
    }
    state.counters["bars"] = bars;
    state.counters["painted"] = window->Sched()->PaintedBarCount();
}

constexpr int32_t kMillion = 1000000;

BenchStore MillionShape() {
    BenchStore shape;
    shape.resources = 200;
    shape.appointments = kMillion;
    shape.spanDays = 730;
    return shape;
}

// A window on the shape's store, month view from a year into its span, opened on first use
// and kept until the benchmarks end. A template so that each caller keeps its own.
template <int Tag> DlgMain& KeptWindow(const BenchStore& shape) {
    static auto window = [&] {
        auto w = OpenWindow(BenchFolder(shape), 2, shape.firstDay + 365);
        int32_t start = shape.firstDay + 365;
        w->SetScheduleDates(start);
        return w;
    }();
    static const bool released = (ReleaseAtBenchEnd([] { window.reset(); }), true);
    (void)released;
    return *window;
}

DlgMain& MillionWindow() {
    return KeptWindow<0>(MillionShape());
}

void BM_ShowResourcesMillion(benchmark::State& state) {
    DlgMain& window = MillionWindow();
    for (auto _ : state) {
        window.ShowResources();
    }
    state.SetItemsProcessed(state.iterations() * kMillion);
}

// The same rebuild with every booking in a series of ten: each bar asks whether it is marked.
void BM_ShowResourcesMillionInSeries(benchmark::State& state) {
    BenchStore shape = MillionShape();
    shape.seriesLength = 10;
    DlgMain* window = &KeptWindow<1>(shape);
    if (window->Global().Series().Count() != static_cast<size_t>(kMillion)) {
        state.SkipWithError("the series links were not loaded");
        return;
    }
    for (auto _ : state) {
        window->ShowResources();
    }
    int marked = 0;
    for (int r = 1; r <= window->Sched()->RowCount(); ++r) {
        for (int b = 1; b <= window->Sched()->BarCount(r); ++b) {
            marked += window->Sched()->BarSeries(r, b) ? 1 : 0;
        }
    }
    state.counters["marked"] = marked;
    state.SetItemsProcessed(state.iterations() * kMillion);
}

// A booking moved on the window, then taken back and done again from its Edit menu: each
// iteration is one undo and one redo, each with the rebuild the window makes after a change.
void BM_UndoRedoMoveInWindow(benchmark::State& state) {
    DlgMain& window = MillionWindow();
    // Until its first activation the window does not follow changes.
    window.Form_Activate();
    int32_t start = MillionShape().firstDay + 365;
    window.SetScheduleDates(start);
    const ClsGlobal& store = window.Global();
    const ClsAppointment a = *store.Appointments().begin();
    int32_t id = a.Id();
    if (window.Changes().AppointmentSave(id, a.CustomerId(), a.ResourceId(), a.TypeId(),
                                         a.StartDtTm() - 1, a.StartDtTm(), "moved") != id) {
        state.SkipWithError("the move was refused");
    }
    QAction* undo = window.Action(DlgMain::Command::EditUndo);
    QAction* redo = window.Action(DlgMain::Command::EditRedo);
    for (auto _ : state) {
        undo->trigger();
        redo->trigger();
    }
    if (store.AppointmentLoad(id)->StartDtTm() != a.StartDtTm() - 1) {
        state.SkipWithError("the move is not where the last redo left it");
    }
}

// One step of dragging a bar over a million appointments on 1,000 resources, month view:
// the pointer moves, the booking rules place the bar and look for a collision, and the view
// is painted again with the bar where it would go.
DlgMain& DragWindow() {
    BenchStore shape = MillionShape();
    shape.resources = 1000;
    return KeptWindow<2>(shape);
}

void Send(QWidget* viewport, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &event);
}

void BM_DragStep(benchmark::State& state) {
    DlgMain& window = DragWindow();
    ScheduleGrid& grid = *window.Sched();
    const int row = 2;
    if (grid.BarCount(row) < 1) {
        state.SkipWithError("no bar on the row");
        return;
    }
    grid.ScrollToBar(row, 1);
    QWidget* viewport = grid.viewport();
    const QPoint grab = grid.BarRect(row, 1).center();
    QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    Send(viewport, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    // Back and forth across rows and times, so that every step places the bar anew.
    const QPoint steps[] = {grab + QPoint(60, 0), grab + QPoint(140, grid.RowHeight()),
                            grab + QPoint(20, 2 * grid.RowHeight()), grab + QPoint(-40, 0)};
    size_t i = 0;
    for (auto _ : state) {
        Send(viewport, QEvent::MouseMove, steps[i++ % std::size(steps)], Qt::LeftButton);
        QPainter painter(&image);
        viewport->render(&painter);
    }
    state.counters["dragging"] = grid.BarDragging() ? 1 : 0;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&grid, &escape);
    Send(viewport, QEvent::MouseButtonRelease, grab, Qt::NoButton);
}
// The floor: one plain pass over the appointments, touching what a rebuild must read.
void BM_PlainPassMillion(benchmark::State& state) {
    DlgMain& window = MillionWindow();
    const ClsGlobal& store = window.Global();
    int32_t first = window.Sched()->DateFirst();
    int32_t last = window.Sched()->DateLast();
    for (auto _ : state) {
        int64_t visible = 0;
        for (const auto& a : store.Appointments()) {
            int32_t sd = a.StartDtTm() >> 11;
            visible += (sd >= first && sd <= last) ? a.ResourceId() : 0;
        }
        benchmark::DoNotOptimize(visible);
    }
    state.SetItemsProcessed(state.iterations() * kMillion);
}

// Scrolled repaints: the same view with 20k bars in range and with 200k bars mostly out of it.
void BM_RepaintAfterScroll(benchmark::State& state) {
    BenchStore shape;
    shape.resources = 200;
    shape.customers = 1000;
    shape.appointments = static_cast<int32_t>(state.range(0));
    shape.spanDays = static_cast<int32_t>(state.range(1));
    shape.firstDay = ClsDate::DayNumberFromCivil(2027, 2, 1); // the month view is February
    auto window = OpenWindow(BenchFolder(shape), 2, shape.firstDay);
    int32_t start = shape.firstDay;
    window->SetScheduleDates(start);
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        window->Sched()->ScrollToTime(window->Sched()->DateFirst() + (step++ % 20), 600);
        Paint(*window->Sched(), image);
    }
    state.counters["painted_bars"] = window->Sched()->PaintedBarCount();
}

// The store of the start-up and exit benchmarks: the floor holds one record of each kind and
// no appointment, the other a million appointments over two years.
BenchStore StartShape(int64_t appointments) {
    if (appointments == 0) {
        BenchStore shape;
        shape.resources = 1;
        shape.customers = 1;
        shape.types = 1;
        return shape;
    }
    BenchStore shape;
    shape.resources = 1000;
    shape.customers = 10000;
    shape.appointments = static_cast<int32_t>(appointments);
    return shape;
}

// Start-up as the user waits for it: the store loads, the window opens, the first
// activation builds today's week and it is painted.
void BM_StartUp(benchmark::State& state) {
    BenchStore shape = StartShape(state.range(0));
    const std::string& folder = BenchFolder(shape);
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        auto window = OpenWindow(folder, 0, shape.firstDay);
        window->Form_Activate();
        Paint(*window->Sched(), image);
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 0 ? "floor: no appointments" : "");
}

// Exit as the user waits for it: help closed, nothing left to write (a save a second after
// the last change has written it), the window and the store released.
void BM_Exit(benchmark::State& state) {
    BenchStore shape = StartShape(state.range(0));
    const std::string& folder = BenchFolder(shape);
    for (auto _ : state) {
        state.PauseTiming();
        auto window = OpenWindow(folder, 0, shape.firstDay);
        window->Form_Activate();
        state.ResumeTiming();
        window->Form_Unload();
        window.reset();
    }
    state.SetLabel(state.range(0) == 0 ? "floor: no appointments" : "");
}

} // namespace

BENCHMARK(BM_RebuildAndFirstPaint)
    ->Args({50, 1000, 0})
    ->Args({200, 5000, 2})
    ->Args({1000, 20000, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowResourcesMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowResourcesMillionInSeries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPassMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoMoveInWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintAfterScroll)
    ->Args({20000, 28})
    ->Args({200000, 280})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartUp)->Arg(0)->Arg(kMillion)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Exit)->Arg(0)->Arg(kMillion)->Iterations(5)->Unit(benchmark::kMillisecond);
