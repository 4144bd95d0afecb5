#pragma once

#include <cstdint>
#include <string>

// A program folder whose Data/ holds a generated store, written straight to the files so
// that even a million appointments take a moment. Appointment i books resource i mod
// resources for an hour (less when slots are short) at the start of its own slot of the
// span, so none collide and the resources interleave in collection order. Ids: resources
// from 1, then customers, then types, then appointments.
struct BenchStore {
    int32_t resources = 1000;
    int32_t customers = 10000;
    int32_t types = 20;
    int32_t appointments = 0;
    int32_t firstDay = 46000;
    int32_t spanDays = 730;
    // When above 0, every appointment belongs to a series: runs of this many consecutive
    // appointments of a resource, each series named after its first.
    int32_t seriesLength = 0;
};

// Made once per process and shape; removed when the process ends.
const std::string& BenchFolder(const BenchStore& shape);

int32_t FirstAppointmentId(const BenchStore& shape);
