// Taking changes back in a store of a million bookings on 1,000 resources: a bulk delete of
// 100,000 of them spread over every resource, against its undo and redo, and one booking's
// move. The delete pays for the step its listener keeps, as the window's history does.
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <vector>

#include "base/ModError.h"
#include "bench/common/BenchData.h"
#include "store/ClsGlobal.h"
#include "store/EditStep.h"
#include "store/ProgramFolders.h"
#include "store/StoreChanges.h"

namespace {

constexpr size_t kBookings = 1000000;

struct Loaded {
    std::unique_ptr<ClsGlobal> store;
    std::unique_ptr<StoreChanges> changes;
    std::optional<EditStep> step;
    StoreChanges::Subscription keep;
};

Loaded Load() {
    BenchStore shape;
    shape.appointments = static_cast<int32_t>(kBookings);
    const std::string& folder = BenchFolder(shape);
    ModError::SetLogFile(ProgramFolders{folder}.LogFile());
    Loaded l;
    l.store = std::make_unique<ClsGlobal>(ProgramFolders{folder}, FileSystem::Real(),
                                          StoreMode::ReadOnly);
    l.changes = std::make_unique<StoreChanges>(*l.store);
    l.keep = l.changes->Subscribe([&step = l.step](const ChangeSet& set) {
        if (set.origin == ChangeSet::Origin::Change) {
            step.emplace(set);
        }
    });
    return l;
}

// Every tenth booking.
std::vector<int32_t> Doomed(const ClsGlobal& store) {
    std::vector<int32_t> ids;
    size_t i = 0;
    for (const ClsAppointment& a : store.Appointments()) {
        if (i++ % 10 == 0) {
            ids.push_back(a.Id());
        }
    }
    return ids;
}

void Expect(benchmark::State& state, const Loaded& l, size_t count) {
    if (l.store->Appointments().Count() != count) {
        state.SkipWithError("the store does not hold what the step left");
    }
}

void BM_BulkDeleteKeptForUndo(benchmark::State& state) {
    Loaded l = Load();
    const std::vector<int32_t> ids = Doomed(*l.store);
    for (auto _ : state) {
        l.changes->AppointmentsDelete(ids);
        state.PauseTiming();
        Expect(state, l, kBookings - ids.size());
        if (l.changes->Undo(*l.step)) {
            state.SkipWithError("undo refused");
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ids.size()));
}

// Undo puts 100,000 bookings back, checks them for collisions and tells them; redo takes
// them away again. bytes_per_record: what the step holds per deleted booking.
void BM_UndoBulkDelete(benchmark::State& state, bool redo) {
    Loaded l = Load();
    const std::vector<int32_t> ids = Doomed(*l.store);
    l.changes->AppointmentsDelete(ids);
    const EditStep step = *l.step;
    for (auto _ : state) {
        if (redo) {
            state.PauseTiming();
        }
        if (l.changes->Undo(step)) {
            state.SkipWithError("undo refused");
        }
        Expect(state, l, kBookings);
        if (redo) {
            state.ResumeTiming();
        } else {
            state.PauseTiming();
        }
        if (l.changes->Redo(step)) {
            state.SkipWithError("redo refused");
        }
        Expect(state, l, kBookings - ids.size());
        if (!redo) {
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(ids.size()));
    state.counters["bytes_per_record"] =
        static_cast<double>(step.Bytes()) / static_cast<double>(step.Records());
}

// One booking moved to another resource, taken back and done again: one undo and one redo
// an iteration.
void BM_UndoRedoOneMove(benchmark::State& state) {
    Loaded l = Load();
    const ClsAppointment a = *l.store->Appointments().begin();
    int32_t id = a.Id();
    const int32_t resource = a.ResourceId() == 1 ? 2 : 1;
    // A slot of its own: the generated bookings start each in a slot of the span.
    l.changes->AppointmentSave(id, a.CustomerId(), resource, a.TypeId(), a.StartDtTm() - 1,
                               a.StartDtTm(), "moved");
    const EditStep step = *l.step;
    for (auto _ : state) {
        if (l.changes->Undo(step) || l.changes->Redo(step)) {
            state.SkipWithError("refused");
        }
    }
    Expect(state, l, kBookings);
}

} // namespace

BENCHMARK(BM_BulkDeleteKeptForUndo)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UndoBulkDelete, Undo, false)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_UndoBulkDelete, Redo, true)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoOneMove)->Unit(benchmark::kMicrosecond);
