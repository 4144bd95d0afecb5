#include "store/SeriesLinks.h"

#include <algorithm>
#include <cstring>

int32_t SeriesLinks::SeriesOf(int32_t appointmentId) const {
    auto found = seriesOf_.find(appointmentId);
    return found == seriesOf_.end() ? 0 : found->second;
}

std::span<const int32_t> SeriesLinks::Members(int32_t seriesId) const {
    auto found = members_.find(seriesId);
    return found == members_.end() ? std::span<const int32_t>() : found->second;
}

int32_t SeriesLinks::Set(int32_t appointmentId, int32_t seriesId) {
    const int32_t before = SeriesOf(appointmentId);
    if (before == seriesId) {
        return before;
    }
    if (before != 0) {
        std::vector<int32_t>& members = members_[before];
        members.erase(std::lower_bound(members.begin(), members.end(), appointmentId));
        if (members.empty()) {
            members_.erase(before);
        }
        seriesOf_.erase(appointmentId);
    }
    if (seriesId != 0) {
        seriesOf_[appointmentId] = seriesId;
        std::vector<int32_t>& members = members_[seriesId];
        members.insert(std::lower_bound(members.begin(), members.end(), appointmentId),
                       appointmentId);
    }
    return before;
}

std::vector<int32_t> SeriesLinks::Linked() const {
    std::vector<int32_t> ids;
    ids.reserve(seriesOf_.size());
    for (const auto& [id, series] : seriesOf_) {
        ids.push_back(id);
    }
    return ids;
}

void SeriesLinks::Clear() {
    seriesOf_.clear();
    members_.clear();
}

SeriesLinks::Faults SeriesLinks::Read(std::span<const std::byte> bytes) {
    Clear();
    Faults faults;
    faults.strayBytes = bytes.size() % RecordLength;
    for (size_t at = 0; at + RecordLength <= bytes.size(); at += RecordLength) {
        int32_t link[2];
        std::memcpy(link, bytes.data() + at, sizeof link);
        if (link[0] <= 0 || link[1] <= 0) {
            ++faults.invalid;
        } else if (seriesOf_.count(link[0]) != 0) {
            ++faults.duplicates;
        } else {
            Set(link[0], link[1]);
        }
    }
    return faults;
}

std::vector<std::byte> SeriesLinks::Bytes() const {
    std::vector<int32_t> series;
    series.reserve(members_.size());
    for (const auto& [id, members] : members_) {
        series.push_back(id);
    }
    std::sort(series.begin(), series.end());
    std::vector<std::byte> bytes(seriesOf_.size() * RecordLength);
    std::byte* out = bytes.data();
    for (int32_t id : series) {
        for (int32_t member : members_.at(id)) {
            const int32_t link[2] = {member, id};
            std::memcpy(out, link, sizeof link);
            out += sizeof link;
        }
    }
    return bytes;
}

int32_t SeriesLinks::HighestSeries() const {
    int32_t highest = 0;
    for (const auto& [id, members] : members_) {
        highest = std::max(highest, id);
    }
    return highest;
}
