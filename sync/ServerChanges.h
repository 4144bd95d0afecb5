#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "calendar/IcsReader.h"
#include "calendar/SyncSettings.h"
#include "calendar/SyncState.h"

class StoreChanges;

// What a pass found changed on the server, and the one place it is taken into the planner.
// The planner's bookings stay the truth: a change that cannot be booked as it stands is
// refused, and a push queued to put the planner's version back.
class ServerChanges {
    Q_DECLARE_TR_FUNCTIONS(ServerChanges)

public:
    struct Event {
        int32_t resourceId = 0; // the calendar it came from
        QString href;
        QByteArray etag;
        QByteArray ics;
    };

    ServerChanges(StoreChanges& changes, SyncState& state, const SyncSettings& settings,
                  std::string dataFolder, std::string zone);

    void Changed(Event event) { changed_.push_back(std::move(event)); }
    // The booking's event is no longer on the server.
    void Removed(int32_t id) { removed_.push_back(id); }
    bool Empty() const { return changed_.empty() && removed_.empty(); }

    // Applies what can be taken as one change, recording the events' ETags, and queues
    // the put-backs and deletions of the rest. Returns, in words, what was refused and why.
    QStringList Apply();

private:
    // Why the booking cannot take these times; empty when it can.
    QString Breaks(int32_t id, int32_t customerId, int32_t resourceId, int32_t typeId,
                   int32_t start, int32_t end) const;
    void Take(const Event& event, QStringList& refused);
    void Foreign(const Event& event, const IcsEvent& e, QStringList& refused);
    void Remember(int32_t id, const Event& event, uint64_t fingerprint);
    void PutBack(int32_t id, const Event& event);
    void RemoveFromServer(const Event& event);

    StoreChanges& changes_;
    SyncState& state_;
    const SyncSettings& settings_;
    std::string dataFolder_;
    std::string zone_;
    std::vector<Event> changed_;
    std::vector<int32_t> removed_;
    std::unordered_map<std::string, int32_t> byHref_; // the events sent, as Apply found them
};
