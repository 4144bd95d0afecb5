// Loading, saving and the hot store operations on stores of 10k to 1M appointments
// (1k resources, 10k customers, 20 types), each against its floor.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/ModError.h"
#include "bench/common/BenchData.h"
#include "datetime/ClsDate.h"
#include "store/Bytes.h"
#include "store/ClsGlobal.h"
#include "store/FileIo.h"
#include "store/FileSystem.h"
#include "store/ProgramFolders.h"

namespace {

constexpr int kResources = 1000;
constexpr int32_t kMillion = 1000000;

BenchStore Shape(int64_t appointments) {
    BenchStore shape;
    shape.appointments = static_cast<int32_t>(appointments);
    return shape;
}

const std::string& Folder(int64_t appointments) {
    return BenchFolder(Shape(appointments));
}

// Memory the program holds: the heap as malloc counts it, plus the blocks the store maps
// itself.
size_t HeapInUse() {
    struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd + MappedBytesInUse();
}

size_t ResidentBytes() {
    long pages = 0;
    long resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return static_cast<size_t>(resident) * static_cast<size_t>(::sysconf(_SC_PAGESIZE));
}

struct PlainAppointment {
    int32_t id, customerId, resourceId, typeId, start, end;
    char reference[12];
};

void BM_LoadFloor(benchmark::State& state) {
    std::string path = Folder(state.range(0)) + "/Data/Appointment.bin";
    for (auto _ : state) {
        ByteBlock bytes;
        FileIo::ReadAll(FileSystem::Real(), path, bytes);
        std::vector<PlainAppointment> records(bytes.size / 36);
        for (size_t i = 0; i < records.size(); ++i) {
            const auto* p = reinterpret_cast<const uint8_t*>(bytes.data.get()) + i * 36;
            PlainAppointment& r = records[i];
            r.id = Bytes::GetI32(p);
            r.customerId = Bytes::GetI32(p + 4);
            r.resourceId = Bytes::GetI32(p + 8);
            r.typeId = Bytes::GetI32(p + 12);
            r.start = Bytes::GetI32(p + 16);
            r.end = Bytes::GetI32(p + 20);
            std::memcpy(r.reference, p + 24, 12);
        }
        benchmark::DoNotOptimize(records.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LoadStore(benchmark::State& state) {
    const std::string& folder = Folder(state.range(0));
    size_t bytesPerAppointment = 0;
    size_t residentPerAppointment = 0;
    for (auto _ : state) {
        size_t before = HeapInUse();
        size_t residentBefore = ResidentBytes();
        auto store = std::make_unique<ClsGlobal>(ProgramFolders{folder});
        // Resources, customers and types are ~1% of a 1M store; the figures charge them too.
        bytesPerAppointment = (HeapInUse() - before) / static_cast<size_t>(state.range(0));
        residentPerAppointment =
            (ResidentBytes() - residentBefore) / static_cast<size_t>(state.range(0));
        benchmark::DoNotOptimize(store.get());
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.counters["heap_bytes_per_appt"] = static_cast<double>(bytesPerAppointment);
    state.counters["resident_bytes_per_appt"] = static_cast<double>(residentPerAppointment);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SaveFloor(benchmark::State& state) {
    const std::string& folder = Folder(state.range(0));
    ByteBlock block;
    FileIo::ReadAll(FileSystem::Real(), folder + "/Data/Appointment.bin", block);
    std::vector<uint8_t> bytes(block.size);
    std::memcpy(bytes.data(), block.data.get(), block.size);
    std::string path = folder + "/floor.bin";
    bool sync = state.range(1) != 0;
    for (auto _ : state) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
        if (sync) {
            ::fsync(fd);
        }
        ::close(fd);
    }
    state.SetLabel(sync ? "one write + fsync" : "one write");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

// A change to each kind of record and a setting: all five files are pending.
void TouchEveryFile(ClsGlobal& store, int64_t appointments) {
    int32_t id = static_cast<int32_t>(FirstAppointmentId(Shape(appointments)));
    auto a = store.AppointmentLoad(id);
    store.AppointmentSave(id, a->CustomerId(), a->ResourceId(), a->TypeId(), a->StartDtTm(),
                          a->EndDtTm(), "edited");
    int32_t resource = 1;
    store.ResourceSave(resource, store.ResourceLoad(1)->Name());
    int32_t customer = kResources + 1;
    store.CustomerSave(customer, store.CustomerLoad(customer)->Name());
    int32_t type = FirstAppointmentId(Shape(appointments)) - 1;
    auto t = store.TypeLoad(type);
    store.TypeSave(type, t->Name(), t->BackColor(), t->ForeColor(), t->MinTime(), t->MaxTime(),
                   t->IncTime());
    store.SetOption(10, !store.Option(10));
}

// Everything written at once, as at exit: the bytes taken and five files written, synced
// and renamed.
void BM_SaveStore(benchmark::State& state) {
    ClsGlobal store(ProgramFolders{Folder(state.range(0))});
    for (auto _ : state) {
        state.PauseTiming();
        TouchEveryFile(store, state.range(0));
        state.ResumeTiming();
        benchmark::DoNotOptimize(store.Save().Ok());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What an automatic save costs the window: taking the bytes of the changed files. The
// writing happens on a worker thread (BM_WritePendingChanges).
void BM_TakePendingChanges(benchmark::State& state) {
    ClsGlobal store(ProgramFolders{Folder(state.range(0))});
    size_t bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TouchEveryFile(store, state.range(0));
        state.ResumeTiming();
        SavePlan plan = store.TakePendingChanges();
        bytes = 0;
        for (const FileImage& f : plan.files) {
            bytes += f.Size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_WritePendingChanges(benchmark::State& state) {
    ClsGlobal store(ProgramFolders{Folder(state.range(0))});
    for (auto _ : state) {
        state.PauseTiming();
        TouchEveryFile(store, state.range(0));
        SavePlan plan = store.TakePendingChanges();
        state.ResumeTiming();
        benchmark::DoNotOptimize(plan.Write(FileSystem::Real()).Ok());
    }
}

ClsGlobal& MillionStore() {
    static ClsGlobal store(ProgramFolders{Folder(kMillion)});
    return store;
}

void BM_CheckForOverlap(benchmark::State& state) {
    ClsGlobal& store = MillionStore();
    std::mt19937 rng(42);
    ClsDate date;
    for (auto _ : state) {
        int32_t resource = 1 + static_cast<int32_t>(rng() % kResources);
        int32_t day = Shape(kMillion).firstDay + static_cast<int32_t>(rng() % 730);
        benchmark::DoNotOptimize(store.CheckForOverlap(0, resource, date.JoinDateTime(day, 600),
                                                       date.JoinDateTime(day, 630)));
    }
}

// Re-saving an existing appointment unchanged: the overlap check, the removal and the append.
void BM_AppointmentSave(benchmark::State& state) {
    ClsGlobal& store = MillionStore();
    std::mt19937 rng(7);
    int32_t firstId = FirstAppointmentId(Shape(kMillion));
    for (auto _ : state) {
        int32_t id = firstId + static_cast<int32_t>(rng() % kMillion);
        auto a = store.AppointmentLoad(id);
        int32_t savedId = id;
        benchmark::DoNotOptimize(store.AppointmentSave(savedId, a->CustomerId(), a->ResourceId(),
                                                       a->TypeId(), a->StartDtTm(), a->EndDtTm(),
                                                       "edited"));
    }
}

void BM_AppointmentLoad(benchmark::State& state) {
    ClsGlobal& store = MillionStore();
    std::mt19937 rng(9);
    int32_t firstId = FirstAppointmentId(Shape(kMillion));
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            store.AppointmentLoad(firstId + static_cast<int32_t>(rng() % kMillion)));
    }
}

} // namespace

BENCHMARK(BM_LoadFloor)->Arg(10000)->Arg(100000)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadStore)->Arg(10000)->Arg(100000)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFloor)
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({kMillion, 0})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Args({kMillion, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveStore)->Arg(10000)->Arg(100000)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TakePendingChanges)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WritePendingChanges)->Arg(kMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckForOverlap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppointmentSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppointmentLoad)->Unit(benchmark::kMicrosecond);
