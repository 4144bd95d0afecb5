// A series of 1,000 dates in a store of a million bookings on 1,000 resources: the days of
// the rule worked out and every date checked against the resource's bookings, as the Repeat
// dialog does before anything is saved; booking the free ones; and what saving them costs
// the window (taking the bytes; the writing happens on a worker).
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <vector>

#include "base/ModError.h"
#include "bench/common/BenchData.h"
#include "datetime/ClsDate.h"
#include "datetime/Recurrence.h"
#include "store/ClsGlobal.h"
#include "store/EditStep.h"
#include "store/ProgramFolders.h"
#include "store/SeriesPlan.h"
#include "store/StoreChanges.h"

namespace {

BenchStore Shape() {
    BenchStore shape;
    shape.appointments = 1000000;
    return shape;
}

// Every day for 1,000 days, 09:00 to 10:00, on the first resource: about one date in
// sixteen meets one of its bookings.
std::vector<PlannedBooking> Plan() {
    const BenchStore shape = Shape();
    RecurrenceRule rule;
    rule.frequency = RecurrenceRule::Frequency::Daily;
    rule.count = 1000;
    const RecurrenceDays days = Recurrence::Expand(rule, shape.firstDay);
    std::vector<PlannedBooking> plan;
    plan.reserve(days.days.size());
    const ClsDate date;
    for (int32_t day : days.days) {
        plan.push_back({0, shape.resources + 1, 1, shape.resources + shape.customers + 1,
                        date.JoinDateTime(day, 540), date.JoinDateTime(day, 600), "Weekly"});
    }
    return plan;
}

struct Loaded {
    explicit Loaded(StoreMode mode)
        : store(ProgramFolders{BenchFolder(Shape())}, FileSystem::Real(), mode), changes(store) {
        keep = changes.Subscribe([this](const ChangeSet& set) {
            if (set.origin == ChangeSet::Origin::Change) {
                step.emplace(set);
            }
        });
    }
    ClsGlobal store;
    StoreChanges changes;
    std::optional<EditStep> step;
    StoreChanges::Subscription keep;
};

Loaded& ReadOnlyStore() {
    static Loaded loaded(StoreMode::ReadOnly);
    return loaded;
}

void BM_SeriesDaysAndCheck(benchmark::State& state) {
    const ClsGlobal& store = ReadOnlyStore().store;
    size_t collisions = 0;
    for (auto _ : state) {
        const std::vector<PlannedBooking> plan = Plan();
        const std::vector<PlanCheck> checks = SeriesPlan::Check(store, plan);
        collisions = 0;
        for (const PlanCheck& c : checks) {
            collisions += c.state == PlanCheck::State::Collides;
        }
        benchmark::DoNotOptimize(collisions);
    }
    state.counters["collisions"] = static_cast<double>(collisions);
}

void BM_SeriesBook(benchmark::State& state) {
    Loaded& l = ReadOnlyStore();
    const std::vector<PlannedBooking> plan = Plan();
    for (auto _ : state) {
        SeriesPlan::Book(l.changes, plan, "Book series", SeriesPlan::kNewSeries);
        state.PauseTiming();
        if (!l.step || l.changes.Undo(*l.step)) {
            state.SkipWithError("the series could not be taken back");
        }
        state.ResumeTiming();
    }
}

// The bytes of Appointment.bin, Series.bin and Global.bin taken after the series is booked.
void BM_SeriesSaveTake(benchmark::State& state) {
    ModError::SetLogFile(ProgramFolders{BenchFolder(Shape())}.LogFile());
    Loaded l(StoreMode::ReadWrite);
    const std::vector<PlannedBooking> plan = Plan();
    size_t files = 0;
    for (auto _ : state) {
        state.PauseTiming();
        l.store.TakePendingChanges();
        SeriesPlan::Book(l.changes, plan, "Book series", SeriesPlan::kNewSeries);
        state.ResumeTiming();
        SavePlan taken = l.store.TakePendingChanges();
        files = taken.files.size();
        state.PauseTiming();
        if (!l.step || l.changes.Undo(*l.step)) {
            state.SkipWithError("the series could not be taken back");
        }
        state.ResumeTiming();
    }
    state.counters["files"] = static_cast<double>(files);
}

} // namespace

BENCHMARK(BM_SeriesDaysAndCheck)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesBook)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesSaveTake)->Iterations(20)->Unit(benchmark::kMillisecond);
