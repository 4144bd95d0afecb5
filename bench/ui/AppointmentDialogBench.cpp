// What the user waits for around a booking on a big store (1,000 resources, 100 types, a
// million appointments, 10,000 or 100,000 customers): the appointment dialog opening on an
// existing appointment, its save, and a bar drawn on the grid until the dialog is painted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <map>
#include <memory>

#include "base/ModError.h"
#include "bench/common/BenchData.h"
#include "bench/ui/BenchEnd.h"
#include "bench/ui/BenchWindowing.h"
#include "dialogs/DlgAppointment.h"
#include "grid/ScheduleGrid.h"
#include "platform/IWindowing.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "store/ProgramFolders.h"

namespace {

void Paint(QWidget& widget) {
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    widget.render(&painter);
}

QElapsedTimer clock;
qint64 painted = 0;

// Shows a dialog as the modal loop would, paints it once and closes it, noting when the
// paint was done.
BenchWindowing windowing = [] {
    BenchWindowing w;
    w.onModal = [](QDialog* dialog) {
        dialog->show();
        QCoreApplication::processEvents();
        Paint(*dialog);
        painted = clock.nsecsElapsed();
        dialog->hide();
        return int{QDialog::Rejected};
    };
    return w;
}();

BenchStore Shape(int32_t customers) {
    BenchStore shape;
    shape.resources = 1000;
    shape.customers = customers;
    shape.types = 100;
    shape.appointments = 1000000;
    shape.spanDays = 730;
    return shape;
}

// One window per store, kept for the process: loading a million appointments takes a while.
DlgMain& Window(int32_t customers) {
    static std::map<int32_t, std::unique_ptr<DlgMain>> windows;
    static const bool released = (ReleaseAtBenchEnd([] { windows.clear(); }), true);
    (void)released;
    auto& window = windows[customers];
    if (!window) {
        const BenchStore shape = Shape(customers);
        const std::string& folder = BenchFolder(shape);
        ModError::SetLogFile(ProgramFolders{folder}.LogFile());
        window = std::make_unique<DlgMain>(windowing, ProgramFolders{folder});
        window->resize(1600, 1000);
        window->show();
        QCoreApplication::processEvents();
        int32_t start = shape.firstDay + 365;
        window->Sched()->SetTimeType(0);
        window->SetScheduleDates(start);
    }
    return *window;
}

// An appointment in the middle of the store.
int32_t SomeAppointment(int32_t customers) {
    return FirstAppointmentId(Shape(customers)) + 500000;
}

// Construction, set-up at the first activation and the first paint.
void BM_OpenAppointmentDialog(benchmark::State& state) {
    const auto customers = static_cast<int32_t>(state.range(0));
    DlgMain& window = Window(customers);
    for (auto _ : state) {
        DlgAppointment dialog(window.WindowServices(), window.View());
        dialog.SetAppointmentId(SomeAppointment(customers));
        windowing.ShowModal(&dialog);
        if (!dialog.Activated()) {
            state.SkipWithError("the dialog was not set up");
            break;
        }
    }
}

// The overlap check and the save of an edited appointment, from the Save command.
void BM_SaveAppointment(benchmark::State& state) {
    const auto customers = static_cast<int32_t>(state.range(0));
    DlgMain& window = Window(customers);
    DlgAppointment dialog(window.WindowServices(), window.View());
    dialog.SetAppointmentId(SomeAppointment(customers));
    for (auto _ : state) {
        state.PauseTiming();
        dialog.show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        dialog.mnuFileSave_Click();
    }
    if (dialog.AppointmentId() != SomeAppointment(customers) || dialog.isVisible()) {
        state.SkipWithError("the save did not go through");
    }
}

// From the release of the mouse that ends a drawn bar to the dialog's first paint.
void BM_DrawBarToDialogPaint(benchmark::State& state) {
    const auto customers = static_cast<int32_t>(state.range(0));
    DlgMain& window = Window(customers);
    ScheduleGrid& grid = *window.Sched();
    const int32_t day = grid.DateFirst() + 2;
    // A row and time no booking takes: the small hours of a quiet day.
    const int row = 1;
    grid.ScrollToTime(day, 120);
    QWidget* viewport = grid.viewport();
    for (auto _ : state) {
        QTest::mousePress(viewport, Qt::LeftButton, {}, grid.PointFor(day, 120, row));
        QTest::mouseMove(viewport, grid.PointFor(day, 180, row));
        clock.start();
        painted = 0;
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, grid.PointFor(day, 180, row));
        if (painted == 0) {
            state.SkipWithError("no dialog was shown");
            break;
        }
        state.SetIterationTime(static_cast<double>(painted) / 1e9);
        grid.ScrollToTime(day, 120);
    }
}

} // namespace

BENCHMARK(BM_OpenAppointmentDialog)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveAppointment)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawBarToDialogPaint)
    ->Arg(10000)
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);
