#include "calendar/SyncState.h"

#include <algorithm>
#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <sstream>

#include "store/ChangeSet.h"
#include "store/ClsGlobal.h"
#include "store/FileIo.h"
#include "store/FileSystem.h"

namespace {

constexpr const char* kStateFile = "/CalendarSync.state";
constexpr const char* kQueueFile = "/CalendarSync.queue";
constexpr const char* kStateHead = "tidemar-calendar-state 1";
constexpr const char* kQueueHead = "tidemar-calendar-queue 1";

constexpr uint64_t kFnvBasis = 1469598103934665603ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

uint64_t Fnv(uint64_t hash, std::string_view bytes) {
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * kFnvPrime;
    }
    return hash;
}

// Fields are separated by any white space and records by line ends, so those, all control
// characters and the escape itself are written as %XX; an empty field is a lone '%'.
std::string Escape(const std::string& text) {
    if (text.empty()) {
        return "%";
    }
    std::string out;
    for (const char c : text) {
        if (c == '%' || static_cast<unsigned char>(c) <= ' ' || c == '\x7f') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

bool Unescape(const std::string& field, std::string& out) {
    out.clear();
    if (field == "%") {
        return true;
    }
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= field.size()) {
            return false;
        }
        const auto [end, ec] =
            std::from_chars(field.data() + i + 1, field.data() + i + 3, value, 16);
        if (ec != std::errc() || end != field.data() + i + 3) {
            return false;
        }
        out += static_cast<char>(value);
        i += 2;
    }
    return true;
}

template <class N> bool Number(const std::string& field, N& out, int base = 10) {
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), out, base);
    return ec == std::errc() && end == field.data() + field.size();
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    std::string field;
    while (in >> field) {
        fields.push_back(field);
    }
    return fields;
}

// The body, then a last line with its checksum: a file cut short or changed by hand is
// seen as damaged.
bool WriteChecked(FileSystem& fs, const std::string& path, std::string body) {
    char sum[32];
    std::snprintf(sum, sizeof sum, "sum %016" PRIx64 "\n", Fnv(kFnvBasis, body));
    body += sum;
    const auto* bytes = reinterpret_cast<const std::byte*>(body.data());
    return !FileIo::WriteAtomic(fs, path, {bytes, body.size()});
}

// The lines of a file whose checksum holds; Missing when there is no file.
SyncState::Read ReadChecked(FileSystem& fs, const std::string& path, const char* head,
                            std::vector<std::string>& lines) {
    lines.clear();
    if (FileIo::Probe(fs, path).state == Presence::State::Missing) {
        return SyncState::Read::Missing;
    }
    ByteBlock block;
    if (FileIo::ReadAll(fs, path, block)) {
        return SyncState::Read::Damaged;
    }
    const std::string text(reinterpret_cast<const char*>(block.data.get()), block.size);
    const size_t last = text.rfind("sum ", text.size() < 21 ? 0 : text.size() - 21);
    uint64_t sum = 0;
    if (last == std::string::npos || text.size() != last + 21 || text.back() != '\n' ||
        !Number(text.substr(last + 4, 16), sum, 16) ||
        Fnv(kFnvBasis, text.substr(0, last)) != sum) {
        return SyncState::Read::Damaged;
    }
    std::istringstream in(text.substr(0, last));
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    if (lines.empty() || lines.front() != head) {
        return SyncState::Read::Damaged;
    }
    lines.erase(lines.begin());
    return SyncState::Read::Ok;
}

bool ParseState(const std::vector<std::string>& lines, SyncState& state) {
    for (const std::string& line : lines) {
        const std::vector<std::string> f = Fields(line);
        if (f.size() == 3 && f[0] == "server") {
            if (!Unescape(f[1], state.server) || !Unescape(f[2], state.user)) {
                return false;
            }
        } else if (f.size() == 4 && f[0] == "calendar") {
            int32_t resource = 0;
            SyncState::Collection c;
            if (!Number(f[1], resource) || !Unescape(f[2], c.href) || !Unescape(f[3], c.token)) {
                return false;
            }
            state.collections[resource] = std::move(c);
        } else if (f.size() == 7 && f[0] == "event") {
            int32_t id = 0;
            SyncState::Item item;
            if (!Number(f[1], id) || !Number(f[2], item.resourceId) ||
                !Number(f[3], item.fingerprint, 16) || !Unescape(f[4], item.href) ||
                !Unescape(f[5], item.etag) || !Unescape(f[6], item.uid)) {
                return false;
            }
            state.items[id] = std::move(item);
        } else {
            return false;
        }
    }
    return true;
}

bool ParseQueue(const std::vector<std::string>& lines, std::vector<SyncState::Push>& queue) {
    for (const std::string& line : lines) {
        const std::vector<std::string> f = Fields(line);
        SyncState::Push push;
        if (f.size() == 2 && f[0] == "put" && Number(f[1], push.id)) {
            queue.push_back(push);
        } else if (f.size() == 4 && f[0] == "delete" && Number(f[1], push.id) &&
                   Unescape(f[2], push.href) && Unescape(f[3], push.etag)) {
            push.remove = true;
            queue.push_back(push);
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

uint64_t SyncState::Fingerprint(const ClsGlobal& store, const ClsAppointment& a) {
    uint64_t hash = kFnvBasis;
    const int32_t numbers[] = {a.StartDtTm(), a.EndDtTm()};
    hash = Fnv(hash, {reinterpret_cast<const char*>(numbers), sizeof numbers});
    const auto customer = store.Customers().Get(a.CustomerId());
    const auto type = store.Types().Get(a.TypeId());
    const auto resource = store.Resources().Get(a.ResourceId());
    // A separator that no name holds, so that moving text from one field to the next shows.
    for (const std::string& text :
         {customer ? customer->Name() : std::string(), type ? type->Name() : std::string(),
          resource ? resource->Name() : std::string(), a.Reference()}) {
        hash = Fnv(Fnv(hash, text), std::string_view("\n", 1));
    }
    return hash;
}

bool SyncState::Queued(int32_t id) const {
    return std::any_of(queue.begin(), queue.end(), [id](const Push& p) { return p.id == id; });
}

void SyncState::QueueBooking(const ClsGlobal& store, const SyncSettings& settings, int32_t id) {
    const ClsAppointment* record = store.Appointments().Get(id);
    const bool shared = record != nullptr && settings.Shares(record->ResourceId());
    if (auto it = items.find(id);
        it != items.end() && (!shared || it->second.resourceId != record->ResourceId())) {
        const Push remove{id, true, it->second.href, it->second.etag};
        if (std::find(queue.begin(), queue.end(), remove) == queue.end()) {
            queue.push_back(remove);
        }
        items.erase(it);
    }
    const auto put = std::find_if(queue.begin(), queue.end(),
                                  [id](const Push& p) { return p.id == id && !p.remove; });
    if (shared && put == queue.end()) {
        queue.push_back(Push{id, false, {}, {}});
    } else if (!shared && put != queue.end()) {
        queue.erase(put);
    }
}

void SyncState::QueueChanges(const ClsGlobal& store, const SyncSettings& settings,
                             const ChangeSet& set) {
    for (const auto& change : set.appointments) {
        QueueBooking(store, settings, change.id);
    }
    if (!set.customers.empty() || !set.types.empty() || !set.resources.empty()) {
        QueueDifferences(store, settings);
    }
}

void SyncState::QueueDifferences(const ClsGlobal& store, const SyncSettings& settings) {
    for (const ClsAppointment& a : store.Appointments()) {
        if (!settings.Shares(a.ResourceId())) {
            continue;
        }
        const auto it = items.find(a.Id());
        if (it == items.end() || it->second.resourceId != a.ResourceId() ||
            it->second.fingerprint != Fingerprint(store, a)) {
            QueueBooking(store, settings, a.Id());
        }
    }
    std::vector<int32_t> gone;
    for (const auto& [id, item] : items) {
        const ClsAppointment* record = store.Appointments().Get(id);
        if (record == nullptr || !settings.Shares(record->ResourceId())) {
            gone.push_back(id);
        }
    }
    for (const int32_t id : gone) {
        QueueBooking(store, settings, id);
    }
}

SyncState::Read SyncState::Load(FileSystem& fs, const std::string& dataFolder) {
    *this = SyncState();
    std::vector<std::string> lines;
    Read state = ReadChecked(fs, dataFolder + kStateFile, kStateHead, lines);
    if (state == Read::Ok && !ParseState(lines, *this)) {
        state = Read::Damaged;
    }
    if (state == Read::Damaged) {
        *this = SyncState();
    }
    Read queued = ReadChecked(fs, dataFolder + kQueueFile, kQueueHead, lines);
    if (queued == Read::Ok && !ParseQueue(lines, queue)) {
        queued = Read::Damaged;
    }
    if (queued == Read::Damaged) {
        queue.clear();
    }
    if (state == Read::Damaged || queued == Read::Damaged) {
        return Read::Damaged;
    }
    return state == Read::Missing && queued == Read::Missing ? Read::Missing : Read::Ok;
}

bool SyncState::SaveState(FileSystem& fs, const std::string& dataFolder) const {
    std::string body =
        std::string(kStateHead) + "\nserver " + Escape(server) + " " + Escape(user) + "\n";
    for (const auto& [resource, c] : collections) {
        body += "calendar " + std::to_string(resource) + " " + Escape(c.href) + " " +
                Escape(c.token) + "\n";
    }
    char number[24];
    for (const auto& [id, item] : items) {
        std::snprintf(number, sizeof number, "%" PRIx64, item.fingerprint);
        body += "event " + std::to_string(id) + " " + std::to_string(item.resourceId) + " " +
                number + " " + Escape(item.href) + " " + Escape(item.etag) + " " +
                Escape(item.uid) + "\n";
    }
    return WriteChecked(fs, dataFolder + kStateFile, std::move(body));
}

bool SyncState::SaveQueue(FileSystem& fs, const std::string& dataFolder) const {
    std::string body = std::string(kQueueHead) + "\n";
    for (const Push& p : queue) {
        body += p.remove ? "delete " + std::to_string(p.id) + " " + Escape(p.href) + " " +
                               Escape(p.etag) + "\n"
                         : "put " + std::to_string(p.id) + "\n";
    }
    return WriteChecked(fs, dataFolder + kQueueFile, std::move(body));
}
