// The calendar server: a first pass sending 10,000 bookings to a local Radicale, and one
// changed booking from its save to the server's answer.
#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <memory>

#include "bench/common/BenchData.h"
#include "bench/ui/BenchEnd.h"
#include "store/ClsGlobal.h"
#include "store/StoreChanges.h"
#include "sync/CalDavSync.h"
#include "tests/support/RadicaleServer.h"

namespace {

// A hundred calendars of a hundred bookings: Radicale looks through a whole calendar for each
// new event, so ten calendars of a thousand take it over ten minutes here instead.
const BenchStore kFirstShape{100, 200, 5, 10000, 46000, 730, 0};
// Radicale takes each event in about a tenth of a second here, so the push is measured on
// a store of its own that a first pass fills quickly.
const BenchStore kPushShape{4, 50, 5, 200, 46000, 730, 0};

struct Synced {
    explicit Synced(const BenchStore& shape) : store(ProgramFolders{BenchFolder(shape)}) {}

    RadicaleServer server;
    ClsGlobal store;
    StoreChanges changes{store};
    CalDavSync sync{changes, store.Folders()};
    QString error;

    bool Pass() {
        sync.Configure(SyncSettings{server.Url(), "bench", true, {}}, "secret");
        return sync.RunOnce(error);
    }
};

Synced& Context(const BenchStore& shape) {
    auto* made = new Synced(shape);
    ReleaseAtBenchEnd([made] { delete made; });
    return *made;
}

void BM_CalDavFirstSync10k(benchmark::State& state) {
    Synced& c = Context(kFirstShape);
    if (!c.server.Started()) {
        state.SkipWithError("Radicale did not start");
        return;
    }
    for (auto _ : state) {
        if (!c.Pass()) {
            state.SkipWithError(c.error.toStdString().c_str());
        }
    }
    state.counters["bookings"] = static_cast<double>(c.store.Appointments().Count());
}
BENCHMARK(BM_CalDavFirstSync10k)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// From the save of a moved booking until the server has taken it.
void BM_CalDavPushOneChange(benchmark::State& state) {
    Synced& c = Context(kPushShape);
    if (!c.server.Started() || !c.Pass()) {
        state.SkipWithError(c.error.toStdString().c_str());
        return;
    }
    const int32_t id = FirstAppointmentId(kPushShape) + 123;
    int step = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const ClsAppointment a = *c.store.Appointments().Get(id);
        const int32_t shift = (++step % 2 == 1) ? 15 : -15;
        int32_t saved = id;
        c.changes.AppointmentSave(saved, a.CustomerId(), a.ResourceId(), a.TypeId(),
                                  a.StartDtTm() + shift, a.EndDtTm() + shift, a.Reference());
        QEventLoop loop;
        QObject::connect(&c.sync, &CalDavSync::StatusChanged, &loop, [&] {
            const CalDavSync::Status s = c.sync.CurrentStatus();
            if (s.pending == 0 && s.phase != CalDavSync::Phase::Working) {
                loop.quit();
            }
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        const auto end = std::chrono::steady_clock::now();
        if (c.sync.CurrentStatus().pending != 0) {
            state.SkipWithError("the change did not reach the server");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_CalDavPushOneChange)->Iterations(20)->Unit(benchmark::kMillisecond)->UseManualTime();

} // namespace
