// Deleting n appointments of one resource (of 100,000) in a 1M store: all at once, as the
// bulk delete does, against one AppointmentDelete per id, whose cost grows with n times the
// resource's bookings; and all at once through the change interface.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "base/ModError.h"
#include "bench/common/BenchData.h"
#include "store/ClsGlobal.h"
#include "store/ProgramFolders.h"
#include "store/StoreChanges.h"

namespace {

const std::string& Folder() {
    BenchStore shape;
    shape.resources = 10;
    shape.customers = 1000;
    shape.appointments = 1000000;
    return BenchFolder(shape);
}

template <class Delete> void Run(benchmark::State& state, Delete remove) {
    const std::string& folder = Folder();
    ModError::SetLogFile(ProgramFolders{folder}.LogFile());
    const auto count = static_cast<size_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<ClsGlobal>(ProgramFolders{folder}, FileSystem::Real(),
                                                 StoreMode::ReadOnly);
        std::vector<int32_t> ids;
        for (const ResourceSlot& slot : store->AppointmentsOfResource(1)) {
            if (ids.size() < count) {
                ids.push_back(slot.id);
            }
        }
        state.ResumeTiming();
        remove(*store, ids);
        state.PauseTiming();
        if (store->Appointments().Count() != 1000000 - count) {
            state.SkipWithError("not every id was deleted");
        }
        store.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_AppointmentsDeleteAtOnce(benchmark::State& state) {
    Run(state, [](ClsGlobal& store, const std::vector<int32_t>& ids) {
        benchmark::DoNotOptimize(store.AppointmentsDelete(ids));
    });
}

void BM_AppointmentDeleteEach(benchmark::State& state) {
    Run(state, [](ClsGlobal& store, const std::vector<int32_t>& ids) {
        for (int32_t id : ids) {
            benchmark::DoNotOptimize(store.AppointmentDelete(id));
        }
    });
}

// The same through the change interface, with a listener: what the window's bulk delete pays
// for the change set it is told.
void BM_AppointmentsDeleteAtOnceTold(benchmark::State& state) {
    Run(state, [&](ClsGlobal& store, const std::vector<int32_t>& ids) {
        StoreChanges changes(store);
        size_t told = 0;
        auto listener =
            changes.Subscribe([&](const ChangeSet& set) { told += set.appointments.size(); });
        changes.AppointmentsDelete(ids);
        if (told != ids.size()) {
            state.SkipWithError("not every deleted appointment was told");
        }
    });
}

} // namespace

BENCHMARK(BM_AppointmentsDeleteAtOnceTold)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppointmentsDeleteAtOnce)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppointmentDeleteEach)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);
