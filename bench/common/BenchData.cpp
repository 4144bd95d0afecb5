#include "bench/common/BenchData.h"

#include <unistd.h>

#include <filesystem>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "datetime/ClsDate.h"
#include "store/ClsAppointment.h"
#include "store/ClsCustomer.h"
#include "store/ClsResource.h"
#include "store/ClsType.h"
#include "store/Collection.h"
#include "store/FileIo.h"
#include "store/FileSystem.h"
#include "store/GlobalRecord.h"

namespace {

std::filesystem::path Root() {
    return std::filesystem::temp_directory_path() / ("tidemar-bench-" + std::to_string(getpid()));
}

struct Cleanup {
    ~Cleanup() {
        std::error_code ec;
        std::filesystem::remove_all(Root(), ec);
    }
} cleanup;

// Written as the store writes a collection.
template <class Fill> void WriteRecords(const std::string& path, int32_t count, Fill fill) {
    Collection<decltype(fill(0))> records;
    for (int32_t i = 0; i < count; ++i) {
        records.Add(fill(i));
    }
    if (!FileIo::WriteBatch(FileSystem::Real(), {records.Image(path)}).Ok()) {
        throw std::runtime_error("cannot write " + path);
    }
}

} // namespace

int32_t FirstAppointmentId(const BenchStore& s) {
    return s.resources + s.customers + s.types + 1;
}

const std::string& BenchFolder(const BenchStore& s) {
    static std::map<std::tuple<int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t>,
                    std::string>
        folders;
    auto& folder = folders[{s.resources, s.customers, s.types, s.appointments, s.firstDay,
                            s.spanDays, s.seriesLength}];
    if (!folder.empty()) {
        return folder;
    }
    folder = (Root() / std::to_string(folders.size())).string();
    std::string data = folder + "/Data/";
    std::filesystem::create_directories(data);
    WriteRecords(data + "Resource.bin", s.resources, [](int32_t i) {
        ClsResource r;
        r.SetId(1 + i);
        r.SetName("Room " + std::to_string(i));
        return r;
    });
    WriteRecords(data + "Customer.bin", s.customers, [&](int32_t i) {
        ClsCustomer c;
        c.SetId(s.resources + 1 + i);
        c.SetName("Customer " + std::to_string(i));
        return c;
    });
    WriteRecords(data + "Type.bin", s.types, [&](int32_t i) {
        ClsType t;
        t.SetId(s.resources + s.customers + 1 + i);
        t.SetName("Type " + std::to_string(i));
        t.SetBackColor(0xC0 << (i % 3 * 8));
        return t;
    });
    ClsDate date;
    int32_t perResource = (s.appointments + s.resources - 1) / s.resources;
    int64_t slot = perResource > 0 ? int64_t{s.spanDays} * 1440 / perResource : 0;
    int32_t length = static_cast<int32_t>(slot < 60 ? slot : 60);
    WriteRecords(data + "Appointment.bin", s.appointments, [&](int32_t i) {
        int64_t start = int64_t{i / s.resources} * slot;
        int64_t end = start + length;
        ClsAppointment a{ClsAppointment::Blank{}};
        a.SetId(FirstAppointmentId(s) + i);
        a.SetResourceId(1 + i % s.resources);
        a.SetCustomerId(s.resources + 1 + i % s.customers);
        a.SetTypeId(s.resources + s.customers + 1 + i % s.types);
        a.SetStartDtTm(date.JoinDateTime(s.firstDay + static_cast<int32_t>(start / 1440),
                                         static_cast<int32_t>(start % 1440)));
        a.SetEndDtTm(date.JoinDateTime(s.firstDay + static_cast<int32_t>(end / 1440),
                                       static_cast<int32_t>(end % 1440)));
        a.SetReference("REF " + std::to_string(i));
        return a;
    });
    if (s.seriesLength > 0) {
        // As the store writes its links: appointment id, then series id, 32-bit little-endian.
        std::vector<int32_t> links;
        links.reserve(static_cast<size_t>(s.appointments) * 2);
        for (int32_t i = 0; i < s.appointments; ++i) {
            const int32_t slotOf = i / s.resources;
            const int32_t first =
                slotOf / s.seriesLength * s.seriesLength * s.resources + i % s.resources;
            links.push_back(FirstAppointmentId(s) + i);
            links.push_back(FirstAppointmentId(s) + first);
        }
        FileIo::WriteAtomic(FileSystem::Real(), data + "Series.bin",
                            std::as_bytes(std::span(links)));
    }
    GlobalRecord global;
    global.SetIdCounter(FirstAppointmentId(s) + s.appointments - 1);
    global.SetResourceType("Rooms");
    FileIo::WriteAtomic(FileSystem::Real(), data + "Global.bin",
                        std::as_bytes(std::span(global.Bytes())));
    return folder;
}
