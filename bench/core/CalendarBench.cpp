// Calendars out and in with a million bookings on 1,000 resources: the iCalendar export,
// libical building and serialising the same events one by one (what the export is measured
// against), the CSV export, and an import of 100,000 events read, checked and booked.
#include <benchmark/benchmark.h>

#include <libical/ical.h>

#include <cstdlib>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "bench/common/BenchData.h"
#include "calendar/CsvWriter.h"
#include "calendar/ExportSelection.h"
#include "calendar/IcsReader.h"
#include "calendar/IcsWriter.h"
#include "calendar/ImportPlan.h"
#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/EditStep.h"
#include "store/StoreChanges.h"

namespace {

const char* kZone = "Europe/Berlin";

BenchStore Shape() {
    BenchStore shape;
    shape.appointments = 1000000;
    return shape;
}

// Counts what is written and keeps none of it.
class Discard : public std::streambuf {
public:
    size_t bytes = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += static_cast<size_t>(n);
        return n;
    }
    int overflow(int c) override {
        ++bytes;
        return c;
    }
};

struct Loaded {
    Loaded()
        : store(ProgramFolders{BenchFolder(Shape())}, FileSystem::Real(), StoreMode::ReadOnly),
          changes(store) {
        keep = changes.Subscribe([this](const ChangeSet& set) {
            if (set.origin == ChangeSet::Origin::Change) {
                step.emplace(set);
            }
        });
        ids = SelectAppointments(store, {});
    }
    ClsGlobal store;
    StoreChanges changes;
    std::optional<EditStep> step;
    StoreChanges::Subscription keep;
    std::vector<int32_t> ids;
};

Loaded& Store() {
    static Loaded loaded;
    return loaded;
}

void BM_ExportIcs(benchmark::State& state) {
    Loaded& l = Store();
    const IcsOptions options{kZone, BenchFolder(Shape()), 1796112000};
    size_t bytes = 0;
    for (auto _ : state) {
        Discard sink;
        std::ostream out(&sink);
        WriteIcs(l.store, l.ids, options, out);
        bytes = sink.bytes;
    }
    state.counters["events"] = static_cast<double>(l.ids.size());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

icaltimetype TimeOf(int32_t dtTm, icaltimezone* zone) {
    int y = 0;
    int m = 0;
    int d = 0;
    ClsDate::CivilFromDayNumber(dtTm >> 11, y, m, d);
    icaltimetype t = icaltime_null_time();
    t.year = y;
    t.month = m;
    t.day = d;
    t.hour = (dtTm & 2047) / 60;
    t.minute = (dtTm & 2047) % 60;
    t.zone = zone;
    return t;
}

// The same events as libical makes them: one VEVENT built, serialised and freed at a time.
void BM_LibicalSerialise(benchmark::State& state) {
    Loaded& l = Store();
    icaltimezone* zone = icaltimezone_get_builtin_timezone(kZone);
    const std::string folder = BenchFolder(Shape());
    size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (int32_t id : l.ids) {
            const ClsAppointment* a = l.store.Appointments().Get(id);
            icalcomponent* e = icalcomponent_new(ICAL_VEVENT_COMPONENT);
            icalcomponent_set_uid(e, UidOf(folder, id).c_str());
            icalcomponent_set_dtstamp(
                e, icaltime_from_timet_with_zone(1796112000, 0, icaltimezone_get_utc_timezone()));
            icalproperty* start = icalproperty_new_dtstart(TimeOf(a->StartDtTm(), zone));
            icalproperty_add_parameter(start, icalparameter_new_tzid(kZone));
            icalcomponent_add_property(e, start);
            icalproperty* end = icalproperty_new_dtend(TimeOf(a->EndDtTm(), zone));
            icalproperty_add_parameter(end, icalparameter_new_tzid(kZone));
            icalcomponent_add_property(e, end);
            const std::string summary = l.store.CustomerLoad(a->CustomerId())->Name() + " - " +
                                        l.store.TypeLoad(a->TypeId())->Name();
            icalcomponent_set_summary(e, summary.c_str());
            icalcomponent_set_location(e, l.store.ResourceLoad(a->ResourceId())->Name().c_str());
            icalcomponent_set_description(e, a->Reference().c_str());
            char* text = icalcomponent_as_ical_string_r(e);
            bytes += std::char_traits<char>::length(text);
            std::free(text);
            icalcomponent_free(e);
        }
    }
    state.counters["events"] = static_cast<double>(l.ids.size());
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_ExportCsv(benchmark::State& state) {
    Loaded& l = Store();
    for (auto _ : state) {
        Discard sink;
        std::ostream out(&sink);
        WriteCsv(l.store, l.ids, out);
    }
    state.counters["rows"] = static_cast<double>(l.ids.size());
}

// 100,000 events in UTC after the stored span: on all the resources, one in ten on the
// hour of an earlier one of the file; or one after the other on one resource.
std::string ImportFile(bool oneResource) {
    const BenchStore shape = Shape();
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//EN\r\n";
    char line[512];
    for (int i = 0; i < 100000; ++i) {
        int y = 0;
        int m = 0;
        int d = 0;
        const int32_t day = oneResource ? i / 12 : i / 1000 % 90;
        ClsDate::CivilFromDayNumber(shape.firstDay + shape.spanDays + 10 + day, y, m, d);
        const int hour = oneResource ? 6 + i % 12 : 6;
        const int resource = oneResource ? 0 : i % 1000;
        std::snprintf(line, sizeof line,
                      "BEGIN:VEVENT\r\nUID:bench-%d\r\nDTSTAMP:20261208T000000Z\r\n"
                      "DTSTART:%04d%02d%02dT%02d0000Z\r\nDTEND:%04d%02d%02dT%02d3000Z\r\n"
                      "SUMMARY:Customer %d - Type %d\r\nLOCATION:Room %d\r\n"
                      "DESCRIPTION:Imported\\, %d\r\nEND:VEVENT\r\n",
                      i, y, m, d, hour, y, m, d, hour, i % 10000, i % 20, resource, i);
        text += line;
    }
    return text + "END:VCALENDAR\r\n";
}

void BM_Import(benchmark::State& state) {
    Loaded& l = Store();
    const std::string file = ImportFile(state.range(0) != 0);
    size_t booked = 0;
    for (auto _ : state) {
        const IcsReadResult read = ReadIcs(file, 0, 100000, kZone);
        const auto rows = PlanImport(l.store, read.events, {1, 0, 0});
        booked = BookImport(l.changes, rows);
        state.PauseTiming();
        if (!l.step || l.changes.Undo(*l.step)) {
            state.SkipWithError("the import could not be taken back");
        }
        state.ResumeTiming();
    }
    state.counters["events"] = 100000;
    state.counters["booked"] = static_cast<double>(booked);
}

// The reading alone: libical's parse, the zones and the walk over the events.
void BM_ImportRead(benchmark::State& state) {
    const std::string file = ImportFile(false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadIcs(file, 0, 100000, kZone));
    }
}

} // namespace

BENCHMARK(BM_ExportIcs)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LibicalSerialise)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);
// 0: over all the resources; 1: on one.
BENCHMARK(BM_Import)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportRead)->Unit(benchmark::kMillisecond)->Iterations(3);
