// One step of dragging a bar on the schedule of a million appointments over 1,000 resources:
// the pointer moves, the booking rules place the bar and look for a collision, and the view
// is painted again with the bar where it would go.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <iterator>
#include <memory>

#include "base/ModError.h"
#include "bench/common/BenchData.h"
#include "bench/ui/BenchEnd.h"
#include "bench/ui/BenchWindowing.h"
#include "grid/ScheduleGrid.h"
#include "schedule/DlgMain.h"
#include "store/ProgramFolders.h"

namespace {

BenchWindowing windowing;

DlgMain& DragWindow() {
    static auto window = [] {
        BenchStore shape;
        shape.resources = 1000;
        shape.appointments = 1000000;
        shape.spanDays = 730;
        const std::string folder = BenchFolder(shape);
        ModError::SetLogFile(ProgramFolders{folder}.LogFile());
        auto w = std::make_unique<DlgMain>(windowing, ProgramFolders{folder});
        w->resize(1700, 1000);
        QResizeEvent resize(w->size(), w->size());
        QCoreApplication::sendEvent(w.get(), &resize);
        w->Sched()->SetTimeType(2);
        int32_t start = shape.firstDay + 365;
        w->SetScheduleDates(start);
        return w;
    }();
    static const bool released = (ReleaseAtBenchEnd([] { window.reset(); }), true);
    (void)released;
    return *window;
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
BENCHMARK(BM_DragStep)->Unit(benchmark::kMillisecond);

} // namespace
