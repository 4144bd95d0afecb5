#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

// Which appointments were booked together as one series: a link from an appointment's id to
// its series' id (the id the series' first appointment had when it was made). The links are
// kept beside the records, so the appointments themselves stay ordinary bookings.
//
// On disk (Series.bin) each link is one 8-byte record, two little-endian 32-bit integers:
// the appointment's id, then the series' id; ordered by series, then appointment.
class SeriesLinks {
public:
    static constexpr size_t RecordLength = 8;

    // 0 when the appointment is in no series.
    int32_t SeriesOf(int32_t appointmentId) const;
    // The appointments of a series, by id; empty for an unknown one.
    std::span<const int32_t> Members(int32_t seriesId) const;
    // Links the appointment to the series (0: to none); returns the series it was in.
    int32_t Set(int32_t appointmentId, int32_t seriesId);
    // Every linked appointment's id, in no particular order.
    std::vector<int32_t> Linked() const;
    size_t Count() const { return seriesOf_.size(); }
    bool Empty() const { return seriesOf_.empty(); }
    void Clear();

    // What a file held that could not be taken.
    struct Faults {
        size_t strayBytes = 0; // after the last whole record
        size_t invalid = 0;    // an id of 0 or below
        size_t duplicates = 0; // an appointment linked earlier in the file
    };
    // Replaces the links with those of a file's bytes.
    Faults Read(std::span<const std::byte> bytes);
    std::vector<std::byte> Bytes() const;
    int32_t HighestSeries() const;

private:
    std::unordered_map<int32_t, int32_t> seriesOf_;
    std::unordered_map<int32_t, std::vector<int32_t>> members_; // each sorted by id
};
