// Loading, saving and the hot store operations on stores of 10k to 1M appointments
// (1k resources, 10k customers, 20 types), each against its floor.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "datetime/ClsDate.h"
#include "store/Bytes.h"
#include "store/ClsGlobal.h"
#include "store/FileIo.h"
#include "store/ModError.h"
#include "store/RecordFile.h"

namespace {

constexpr int kResources = 1000;
constexpr int kCustomers = 10000;
constexpr int kTypes = 20;
constexpr int32_t kFirstDay = 46000; // late 2025
constexpr int32_t kSpanMinutes = 730 * 1440;

// Appointment i: resource i mod 1000, one hour at the start of its own slot, so no two
// collide and the resources interleave in collection order.
ClsAppointment MakeAppointment(int32_t i, int32_t count) {
    ClsDate date;
    int32_t perResource = (count + kResources - 1) / kResources;
    int32_t slot = i / kResources;
    int64_t minute = static_cast<int64_t>(slot) * kSpanMinutes / perResource;
    int32_t day = kFirstDay + static_cast<int32_t>(minute / 1440);
    int32_t start = static_cast<int32_t>(minute % 1440);
    int32_t endMinute = start + 60;
    ClsAppointment a{ClsAppointment::Blank{}};
    a.SetId(kResources + kCustomers + kTypes + 1 + i);
    a.SetResourceId(1 + i % kResources);
    a.SetCustomerId(kResources + 1 + i % kCustomers);
    a.SetTypeId(kResources + kCustomers + 1 + i % kTypes);
    a.SetStartDtTm(date.JoinDateTime(day, start));
    a.SetEndDtTm(endMinute < 1440 ? date.JoinDateTime(day, endMinute)
                                  : date.JoinDateTime(day + 1, endMinute - 1440));
    a.SetReference("REF " + std::to_string(i));
    return a;
}

// A program folder with a Data/ of the given size, made once per size and kept.
const std::string& Folder(int32_t count) {
    static std::map<int32_t, std::string> folders;
    auto& folder = folders[count];
    if (!folder.empty()) {
        return folder;
    }
    folder = (std::filesystem::temp_directory_path() /
              ("tidemar-bench-" + std::to_string(getpid()) + "-" + std::to_string(count)))
                 .string();
    std::filesystem::create_directories(folder + "/Data");
    ModError::SetProgramFolder(folder);
    {
        ClsGlobal store(folder);
        for (int i = 0; i < kResources; ++i) {
            int32_t id = 1 + i;
            store.ResourceSave(id, "Room " + std::to_string(i));
        }
        for (int i = 0; i < kCustomers; ++i) {
            int32_t id = kResources + 1 + i;
            store.CustomerSave(id, "Customer " + std::to_string(i));
        }
        for (int i = 0; i < kTypes; ++i) {
            int32_t id = kResources + kCustomers + 1 + i;
            store.TypeSave(id, "Type " + std::to_string(i), 0xFF << (i % 3 * 8), 0, 15, 480, 15);
        }
        store.Save();
    }
    RecordFile file(ClsAppointment::RecordLength);
    file.Reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        MakeAppointment(i, count).Save(file);
    }
    FileIo::WriteAtomic(folder + "/Data/Appointment.bin", file.Bytes().data(), file.Bytes().size());
    return folder;
}

struct Cleanup {
    ~Cleanup() {
        std::error_code ec;
        for (auto& entry :
             std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), ec)) {
            if (entry.path().filename().string().rfind("tidemar-bench-" + std::to_string(getpid()),
                                                       0) == 0) {
                std::filesystem::remove_all(entry.path(), ec);
            }
        }
    }
} cleanup;

size_t HeapInUse() {
    struct mallinfo2 mi = mallinfo2();
    return mi.uordblks + mi.hblkhd;
}

struct PlainAppointment {
    int32_t id, customerId, resourceId, typeId, start, end;
    char reference[12];
};

void BM_LoadFloor(benchmark::State& state) {
    std::string path = Folder(static_cast<int32_t>(state.range(0))) + "/Data/Appointment.bin";
    for (auto _ : state) {
        std::vector<uint8_t> bytes;
        FileIo::ReadAll(path, bytes);
        std::vector<PlainAppointment> records(bytes.size() / 36);
        for (size_t i = 0; i < records.size(); ++i) {
            const uint8_t* p = bytes.data() + i * 36;
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
    const std::string& folder = Folder(static_cast<int32_t>(state.range(0)));
    size_t bytesPerAppointment = 0;
    for (auto _ : state) {
        size_t before = HeapInUse();
        auto store = std::make_unique<ClsGlobal>(folder);
        // Resources, customers and types are ~1% of a 1M store; the figure charges them too.
        bytesPerAppointment = (HeapInUse() - before) / static_cast<size_t>(state.range(0));
        benchmark::DoNotOptimize(store.get());
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
    state.counters["heap_bytes_per_appt"] = static_cast<double>(bytesPerAppointment);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_SaveFloor(benchmark::State& state) {
    const std::string& folder = Folder(static_cast<int32_t>(state.range(0)));
    std::vector<uint8_t> bytes;
    FileIo::ReadAll(folder + "/Data/Appointment.bin", bytes);
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

void BM_SaveStore(benchmark::State& state) {
    ClsGlobal store(Folder(static_cast<int32_t>(state.range(0))));
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.Save().Ok());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

constexpr int32_t kMillion = 1000000;

ClsGlobal& MillionStore() {
    static ClsGlobal store(Folder(kMillion));
    return store;
}

void BM_CheckForOverlap(benchmark::State& state) {
    ClsGlobal& store = MillionStore();
    std::mt19937 rng(42);
    ClsDate date;
    for (auto _ : state) {
        int32_t resource = 1 + static_cast<int32_t>(rng() % kResources);
        int32_t day = kFirstDay + static_cast<int32_t>(rng() % 730);
        benchmark::DoNotOptimize(store.CheckForOverlap(0, resource, date.JoinDateTime(day, 600),
                                                       date.JoinDateTime(day, 630)));
    }
}

// Re-saving an existing appointment unchanged: the overlap check, the removal and the append.
void BM_AppointmentSave(benchmark::State& state) {
    ClsGlobal& store = MillionStore();
    std::mt19937 rng(7);
    int32_t firstId = kResources + kCustomers + kTypes + 1;
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
    int32_t firstId = kResources + kCustomers + kTypes + 1;
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
BENCHMARK(BM_CheckForOverlap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppointmentSave)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AppointmentLoad)->Unit(benchmark::kMicrosecond);
