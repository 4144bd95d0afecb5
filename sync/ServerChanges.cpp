#include "sync/ServerChanges.h"

#include <algorithm>

#include "calendar/IcsReader.h"
#include "calendar/IcsWriter.h"
#include "datetime/ClsDate.h"
#include "store/StoreChanges.h"

namespace {

// Recurring events are not bookings; two occurrences are enough to tell one.
constexpr size_t kOccurrences = 2;
constexpr int32_t kLastDay = 100 * 366 + 200 * 366;

QString Trimmed(const std::string& utf8) {
    return QString::fromStdString(utf8).trimmed();
}

QString When(int32_t dtTm) {
    int year = 0;
    int month = 0;
    int day = 0;
    ClsDate::CivilFromDayNumber(dtTm >> 11, year, month, day);
    const int minutes = dtTm & 2047;
    return QString::asprintf("%04d-%02d-%02d %02d:%02d", year, month, day, minutes / 60,
                             minutes % 60);
}

template <class T> int32_t IdNamed(const Collection<T>& records, const QString& name) {
    for (const T& record : records) {
        if (Trimmed(record.Name()).compare(name, Qt::CaseInsensitive) == 0) {
            return record.Id();
        }
    }
    return 0;
}

} // namespace

ServerChanges::ServerChanges(StoreChanges& changes, SyncState& state, const SyncSettings& settings,
                             std::string dataFolder, std::string zone)
    : changes_(changes), state_(state), settings_(settings), dataFolder_(std::move(dataFolder)),
      zone_(std::move(zone)) {}

QStringList ServerChanges::Apply() {
    QStringList refused;
    if (Empty()) {
        return refused;
    }
    const ClsGlobal& store = changes_.Store();
    byHref_.clear();
    for (const auto& [id, item] : state_.items) {
        byHref_.emplace(item.href, id);
    }
    changes_.Batch("Calendar server changes", [&] {
        for (const int32_t id : removed_) {
            state_.items.erase(id);
            // A booking with a change of its own still to send is sent again instead.
            if (store.Appointments().Exists(id) && !state_.Queued(id)) {
                changes_.AppointmentDelete(id);
            }
        }
        for (const Event& event : changed_) {
            Take(event, refused);
        }
    });
    changed_.clear();
    removed_.clear();
    return refused;
}

QString ServerChanges::Breaks(int32_t id, int32_t customerId, int32_t resourceId, int32_t typeId,
                              int32_t start, int32_t end) const {
    const ClsGlobal& store = changes_.Store();
    const ClsType* type = store.Types().Get(typeId);
    if (type == nullptr || !store.Customers().Exists(customerId)) {
        return tr("its customer or type is no longer in the planner");
    }
    const int64_t minutes = ClsDate::MinuteOf(end) - ClsDate::MinuteOf(start);
    if (minutes <= 0) {
        return tr("it ends before it starts");
    }
    if (type->MinTime() > 0 && minutes < type->MinTime()) {
        return tr("it is shorter than the %1 minutes type %2 needs")
            .arg(type->MinTime())
            .arg(Trimmed(type->Name()));
    }
    if (type->MaxTime() > 0 && minutes > type->MaxTime()) {
        return tr("it is longer than the %1 minutes type %2 allows")
            .arg(type->MaxTime())
            .arg(Trimmed(type->Name()));
    }
    const int32_t step = type->IncTime();
    if (step > 1 && ((start & 2047) % step != 0 || (end & 2047) % step != 0)) {
        return tr("type %1 books in steps of %2 minutes").arg(Trimmed(type->Name())).arg(step);
    }
    if (const int32_t other = store.OverlappingAppointment(id, resourceId, start, end)) {
        const ClsAppointment* in = store.Appointments().Get(other);
        const ClsCustomer* customer = in ? store.Customers().Get(in->CustomerId()) : nullptr;
        return tr("it collides with %1's booking at %2")
            .arg(customer ? Trimmed(customer->Name()) : tr("another"),
                 in ? When(in->StartDtTm()) : QString());
    }
    return {};
}

void ServerChanges::Remember(int32_t id, const Event& event, uint64_t fingerprint,
                             std::string uid) {
    SyncState::Item& item = state_.items[id];
    if (uid.empty() && item.href == event.href.toStdString()) {
        uid = item.uid;
    }
    item = SyncState::Item{event.resourceId, event.href.toStdString(), event.etag.toStdString(),
                           fingerprint, std::move(uid)};
}

// The planner's version goes back over the server's (If-Match the server's ETag).
void ServerChanges::PutBack(int32_t id, const Event& event) {
    Remember(id, event, 0);
    state_.QueueBooking(changes_.Store(), settings_, id);
}

void ServerChanges::RemoveFromServer(const Event& event) {
    const SyncState::Push remove{0, true, event.href.toStdString(), event.etag.toStdString()};
    if (std::find(state_.queue.begin(), state_.queue.end(), remove) == state_.queue.end()) {
        state_.queue.push_back(remove);
    }
}

void ServerChanges::Take(const Event& event, QStringList& refused) {
    const ClsGlobal& store = changes_.Store();
    const IcsReadResult read = ReadIcs(std::string_view(event.ics.constData(), event.ics.size()), 0,
                                       kLastDay, zone_, kOccurrences);
    // The booking the event stands for: by its place on the server, else by its UID.
    const std::string href = event.href.toStdString();
    const auto known = byHref_.find(href);
    int32_t id = known != byHref_.end() ? known->second : 0;
    if (id == 0 && !read.events.empty()) {
        id = IdOfUid(dataFolder_, read.events.front().uid);
    }
    const ClsResource* resource = store.Resources().Get(event.resourceId);
    const QString calendar =
        resource ? Trimmed(resource->Name()) : QString::number(event.resourceId);
    if (id == 0) {
        if (read.events.empty()) {
            refused << tr("An entry on calendar %1 was removed from the server: %2")
                           .arg(calendar, read.ok ? tr("it holds no event")
                                                  : QString::fromStdString(read.error));
            RemoveFromServer(event);
        } else {
            Foreign(event, read.events.front(), refused);
        }
        return;
    }
    const ClsAppointment* record = store.Appointments().Get(id);
    if (record == nullptr || record->ResourceId() != event.resourceId) {
        // Its booking is gone or now on another resource: the event goes.
        const auto it = state_.items.find(id);
        if (it != state_.items.end() && it->second.href == href) {
            state_.items.erase(it);
        }
        RemoveFromServer(event);
        return;
    }
    const ClsCustomer* customer = store.Customers().Get(record->CustomerId());
    const QString what = tr("%1 on %2 at %3")
                             .arg(customer ? Trimmed(customer->Name()) : QString(), calendar,
                                  When(record->StartDtTm()));
    if (state_.Queued(id)) {
        // The planner changed it too: its version goes over the server's.
        Remember(id, event, 0);
        if (read.events.size() != 1 || read.events.front().startDtTm != record->StartDtTm() ||
            read.events.front().endDtTm != record->EndDtTm()) {
            refused << tr("%1 was changed both in the planner and on the server; the "
                          "planner's version was kept and put back on the server.")
                           .arg(what);
        }
        return;
    }
    QString why;
    if (read.events.size() != 1) {
        why = read.events.empty() ? QString::fromStdString(read.error)
                                  : tr("it was made a repeating event");
    } else if (!read.events.front().problem.empty()) {
        why = QString::fromStdString(read.events.front().problem);
    } else {
        const IcsEvent& e = read.events.front();
        if (e.startDtTm == record->StartDtTm() && e.endDtTm == record->EndDtTm()) {
            Remember(id, event, SyncState::Fingerprint(store, *record));
            return;
        }
        why = Breaks(id, record->CustomerId(), record->ResourceId(), record->TypeId(), e.startDtTm,
                     e.endDtTm);
        if (why.isEmpty()) {
            int32_t saved = id;
            if (changes_.AppointmentSave(saved, record->CustomerId(), record->ResourceId(),
                                         record->TypeId(), e.startDtTm, e.endDtTm,
                                         record->Reference()) > 0) {
                Remember(id, event, SyncState::Fingerprint(store, *store.Appointments().Get(id)));
                return;
            }
            why = tr("the planner could not save it");
        }
    }
    refused << tr("The server's change of %1 was not taken (%2); the planner's version "
                  "was put back.")
                   .arg(what, why);
    PutBack(id, event);
}

void ServerChanges::Foreign(const Event& event, const IcsEvent& e, QStringList& refused) {
    const ClsGlobal& store = changes_.Store();
    const QString summary = QString::fromStdString(e.summary).trimmed();
    QString why;
    int32_t customerId = 0;
    int32_t typeId = 0;
    if (!e.problem.empty()) {
        why = QString::fromStdString(e.problem);
    } else if (e.recurrence != 0) {
        why = tr("the planner takes no repeating events");
    } else {
        // "customer - type"; either name may hold " - " itself, so every split is tried.
        for (qsizetype at = summary.indexOf(u" - "); at >= 0 && typeId == 0;
             at = summary.indexOf(u" - ", at + 1)) {
            customerId = IdNamed(store.Customers(), summary.left(at).trimmed());
            typeId = customerId != 0 ? IdNamed(store.Types(), summary.mid(at + 3).trimmed()) : 0;
        }
        if (customerId == 0 || typeId == 0) {
            why = tr("its title does not name a customer and a type of the planner "
                     "(\"customer - type\")");
        } else {
            why = Breaks(0, customerId, event.resourceId, typeId, e.startDtTm, e.endDtTm);
        }
    }
    if (why.isEmpty()) {
        int32_t id = 0;
        if (changes_.AppointmentSave(id, customerId, event.resourceId, typeId, e.startDtTm,
                                     e.endDtTm, e.description) > 0) {
            Remember(id, event, SyncState::Fingerprint(store, *store.Appointments().Get(id)),
                     e.uid);
            return;
        }
        why = tr("the planner could not save it");
    }
    const ClsResource* resource = store.Resources().Get(event.resourceId);
    refused << tr("The new event \"%1\" on %2 at %3 was not booked (%4); it was removed "
                  "from the server.")
                   .arg(summary, resource ? Trimmed(resource->Name()) : QString(),
                        e.problem.empty() ? When(e.startDtTm) : QString(), why);
    RemoveFromServer(event);
}
