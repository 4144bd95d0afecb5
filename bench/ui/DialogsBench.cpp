// What the user waits for in the search, bulk-delete and configuration windows: the result
// list filled after a criterion change in a million-appointment store, a bulk delete of
// 1k to 100k marked appointments, and a grid colour changed to the repainted grid.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QPainter>

#include <memory>

#include "base/ModError.h"
#include "bench/common/BenchData.h"
#include "bench/ui/BenchEnd.h"
#include "bench/ui/BenchWindowing.h"
#include "dialogs/DlgConfigure.h"
#include "dialogs/DlgDelete.h"
#include "dialogs/DlgSearch.h"
#include "grid/ScheduleGrid.h"
#include "platform/IWindowing.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "store/ProgramFolders.h"
#include "widgets/MultiColumnList.h"

namespace {

// Says Yes to every question and picks colours in turn; shows nothing modally.
BenchWindowing windowing = [] {
    BenchWindowing w;
    w.answer = IWindowing::Answer::Yes;
    w.colors = {0x00D0E0F0u, 0x00C0C0FFu};
    return w;
}();
constexpr int32_t kMillion = 1000000;

std::unique_ptr<DlgMain> OpenWindow(const std::string& folder) {
    ModError::SetLogFile(ProgramFolders{folder}.LogFile());
    auto window = std::make_unique<DlgMain>(windowing, ProgramFolders{folder});
    window->resize(1400, 900);
    return window;
}

// Shows a dialog as a showing does: load, then its first activation.
void Open(QDialog& dialog) {
    dialog.show();
    QCoreApplication::processEvents();
}

void Paint(QWidget& widget, QImage& image) {
    QPainter painter(&image);
    widget.render(&painter);
}

// 1M appointments over 200 resources; 100 customers with 10,000 each, 20 types with
// 50,000 each.
BenchStore SearchShape() {
    BenchStore shape;
    shape.resources = 200;
    shape.customers = 100;
    shape.types = 20;
    shape.appointments = kMillion;
    return shape;
}

// Windows kept for a whole run; released with the application, before Qt goes.
std::unique_ptr<DlgMain> searchWindow;
DlgSearch* searchDialog = nullptr;
std::unique_ptr<DlgMain> colorWindow;
DlgConfigure* colorDialog = nullptr;

void ReleaseWindows() {
    searchWindow.reset();
    colorWindow.reset();
}

void KeepUntilQuit(std::unique_ptr<DlgMain>& holder, std::unique_ptr<DlgMain> window) {
    static const bool registered = [] {
        ReleaseAtBenchEnd(ReleaseWindows);
        return true;
    }();
    (void)registered;
    holder = std::move(window);
}

DlgSearch& Searching() {
    if (searchDialog == nullptr) {
        KeepUntilQuit(searchWindow, OpenWindow(BenchFolder(SearchShape())));
        searchDialog = new DlgSearch(searchWindow->WindowServices());
        Open(*searchDialog);
    }
    return *searchDialog;
}

// From the user's pick in the criterion list to the filled, painted result list; the pick
// alternates between two entries so every iteration fills the list anew.
void SearchBy(benchmark::State& state, bool byType) {
    DlgSearch& dialog = Searching();
    if (byType) {
        dialog.mnuSearchType_Click();
    } else {
        dialog.mnuSearchCustomer_Click();
    }
    QComboBox* criterion = dialog.CbSearch();
    MultiColumnList* list = dialog.LbSearch();
    QImage image(list->size(), QImage::Format_ARGB32_Premultiplied);
    int pick = 0;
    for (auto _ : state) {
        criterion->setCurrentIndex(pick++ % 2);
        Paint(*list, image);
    }
    state.counters["rows"] = list->ListCount();
}

void BM_SearchByCustomer(benchmark::State& state) {
    SearchBy(state, false);
}

void BM_SearchByType(benchmark::State& state) {
    SearchBy(state, true);
}

// Switching to "Customer" with 10,000 customers in a 1M store: the criterion list refilled,
// the last customer chosen and the result list filled.
void BM_SearchCustomerListOf10k(benchmark::State& state) {
    BenchStore shape = SearchShape();
    shape.customers = 10000;
    auto window = OpenWindow(BenchFolder(shape));
    auto* dialog = new DlgSearch(window->WindowServices());
    Open(*dialog);
    for (auto _ : state) {
        state.PauseTiming();
        dialog->mnuSearchType_Click();
        state.ResumeTiming();
        dialog->mnuSearchCustomer_Click();
    }
    state.counters["customers"] = dialog->CbSearch()->count();
}

// 1M appointments over 10 resources, 100,000 each; the first n rows of one resource are
// marked and deleted. A fresh window is loaded (untimed) for each delete.
void BM_BulkDelete(benchmark::State& state) {
    BenchStore shape;
    shape.resources = 10;
    shape.customers = 1000;
    shape.appointments = kMillion;
    const std::string& folder = BenchFolder(shape);
    const int marked = static_cast<int>(state.range(0));
    size_t left = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = OpenWindow(folder);
        window->ShowResources();
        auto* dialog = new DlgDelete(window->WindowServices(), window->View());
        Open(*dialog);
        MultiColumnList* list = dialog->LbAppointments();
        for (int row = 0; row < marked; ++row) {
            list->SetItemMark(row, 1, true);
        }
        const size_t before = window->Global().Appointments().Count();
        state.ResumeTiming();

        dialog->mnuFileDelete_Click();

        state.PauseTiming();
        left = window->Global().Appointments().Count();
        if (before - left != static_cast<size_t>(marked)) {
            state.SkipWithError("not every marked appointment was deleted");
        }
        window.reset();
        state.ResumeTiming();
    }
    state.counters["left"] = static_cast<double>(left);
    state.SetItemsProcessed(state.iterations() * marked);
}

// 1,000 rows in a month view; a weekend colour chosen in the configuration window, then
// the grid painted with it.
void BM_ConfigureColorToRepaintedGrid(benchmark::State& state) {
    BenchStore shape;
    shape.resources = 1000;
    shape.customers = 1000;
    shape.appointments = 20000;
    shape.spanDays = 28;
    if (colorDialog == nullptr) {
        KeepUntilQuit(colorWindow, OpenWindow(BenchFolder(shape)));
        colorWindow->Sched()->SetTimeType(2);
        int32_t start = shape.firstDay;
        colorWindow->SetScheduleDates(start);
        colorWindow->show();
        QCoreApplication::processEvents();
        colorDialog = new DlgConfigure(colorWindow->WindowServices(), colorWindow->View());
        Open(*colorDialog);
    }
    ScheduleGrid& grid = *colorWindow->Sched();
    QImage image(grid.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        colorDialog->BtnColor_Click(4);
        Paint(grid, image);
    }
    state.counters["rows"] = grid.RowCount();
}

} // namespace

BENCHMARK(BM_SearchByCustomer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchByType)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchCustomerListOf10k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BulkDelete)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConfigureColorToRepaintedGrid)->Unit(benchmark::kMillisecond);
