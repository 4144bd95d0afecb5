#include "sync/CalDavSync.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

#include "calendar/IcsWriter.h"
#include "calendar/SyncState.h"
#include "store/ProgramFolders.h"
#include "store/StoreChanges.h"
#include "sync/CalDavClient.h"
#include "sync/ServerChanges.h"

namespace {

constexpr int kFirstRetryMs = 2000;
constexpr int kLastRetryMs = 5 * 60 * 1000;
constexpr int kPollMs = 60 * 1000;
constexpr int kSaveEveryMs = 500;
constexpr int kParallel = 4;
constexpr int kMultiGet = 100;

// The file name of a booking's event: its UID, with anything a path would need to escape
// made plain.
QString FileName(const std::string& uid) {
    QString name = QString::fromStdString(uid);
    for (QChar& c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-' && c != u'_' && c != u'.' &&
            c != u'@') {
            c = u'_';
        }
    }
    return name + QStringLiteral(".ics");
}

// The event under the UID another client gave it: the server takes no other UID at its
// place. The line is folded at 75 octets like the rest, never inside a UTF-8 sequence.
std::string WithUid(std::string ics, const std::string& own, const std::string& uid) {
    const std::string line = "\r\nUID:" + own + "\r\n";
    const size_t at = ics.find(line);
    if (at == std::string::npos) {
        return ics;
    }
    std::string folded = "\r\n";
    const std::string text = "UID:" + uid;
    std::string_view rest = text;
    for (size_t limit = 75; rest.size() > limit; limit = 74) {
        size_t cut = limit;
        while (cut > 1 && (static_cast<unsigned char>(rest[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        folded.append(rest.substr(0, cut)).append("\r\n ");
        rest.remove_prefix(cut);
    }
    folded.append(rest).append("\r\n");
    return ics.replace(at, line.size(), folded);
}

QString Why(const DavReply& reply, const QString& doing) {
    if (reply.status == 0) {
        return reply.error;
    }
    return QObject::tr("The server refused %1 (HTTP %2).").arg(doing).arg(reply.status);
}

} // namespace

struct CalDavSync::Impl {
    Impl(CalDavSync& owner, StoreChanges& storeChanges)
        : self(owner), changes(storeChanges), store(storeChanges.Store()),
          data(store.Folders().Data()), fs(store.Files()), zone(MachineZone()) {}

    CalDavSync& self;
    StoreChanges& changes;
    const ClsGlobal& store;
    std::string data;
    FileSystem& fs;
    std::string zone;
    SyncSettings settings;
    SyncState state;
    std::unique_ptr<CalDavClient> client;
    StoreChanges::Subscription subscription;
    Status status;
    QTimer pushTimer;
    QTimer pollTimer;
    QTimer retryTimer;
    QTimer saveTimer;
    int backoff = kFirstRetryMs;
    bool loaded = false;
    bool compare = true;
    bool applying = false;
    bool stateDirty = false;
    bool queueDirty = false;

    // The pass in hand.
    bool busy = false;
    bool pulling = false;
    bool pulled = false;
    bool pushAgain = false;
    bool pullAgain = false;
    bool followUp = false; // a pass is due at once after the one that finished
    int passNumber = 0;
    int finished = 0;
    bool lastOk = false;
    QString pushError;
    std::vector<int32_t> missing;         // resources whose calendar is still to be found
    std::vector<SyncState::Push> sending; // pushes on the wire
    std::set<int32_t> skipped;            // puts left for the next pass
    std::vector<int32_t> pullList;
    size_t pullIndex = 0;
    std::unique_ptr<ServerChanges> incoming;
    std::map<int32_t, QString> tokens;

    void Configure(const SyncSettings& s, const QString& password);
    void Noted(const ChangeSet& set);
    void Start(bool pull);
    void EnsureNext();
    void PushStep();
    bool StartPush(const SyncState::Push& push);
    // sent: the item as it stands once the server has taken the put.
    void PutDone(const SyncState::Push& push, const SyncState::Item& sent, const DavReply& reply);
    void DeleteDone(const SyncState::Push& push, const DavReply& reply);
    void PushesDone();
    void PullNext();
    void Listed(int32_t resourceId, const QList<DavReply::Entry>& entries, bool full,
                const QString& token);
    void Fetch(int32_t resourceId, const QStringList& hrefs, qsizetype from);
    void ApplyIncoming();
    void Finish();
    void Fail(const QString& reason);
    void Ended(bool ok);
    void Save(bool now);
    void Tell(Phase phase);
    void Forget(const SyncState::Push& push);
};

void CalDavSync::Impl::Tell(Phase phase) {
    status.phase = phase;
    status.pending = static_cast<int>(state.queue.size());
    emit self.StatusChanged();
}

// The queue and the state on disk: at once when asked, else at most every half second
// while many pushes come back.
void CalDavSync::Impl::Save(bool now) {
    if (!now) {
        if (!saveTimer.isActive()) {
            saveTimer.start(kSaveEveryMs);
        }
        return;
    }
    saveTimer.stop();
    if (queueDirty && state.SaveQueue(fs, data)) {
        queueDirty = false;
    }
    if (stateDirty && state.SaveState(fs, data)) {
        stateDirty = false;
    }
}

void CalDavSync::Impl::Configure(const SyncSettings& s, const QString& password) {
    settings = s;
    client.reset();
    busy = false;
    sending.clear();
    incoming.reset();
    retryTimer.stop();
    pollTimer.stop();
    pushTimer.stop();
    status.lastError.clear();
    if (s.server.empty() || password.isEmpty()) {
        status.lastError =
            s.server.empty() ? QString() : tr("No password for the calendar server.");
        Tell(Phase::Off);
        return;
    }
    const QUrl server(QString::fromStdString(s.server));
    if (const QString refusal = CalDavClient::Refusal(server); !refusal.isEmpty()) {
        status.lastError = refusal;
        Tell(Phase::Failed);
        return;
    }
    if (!loaded) {
        state.Load(fs, data);
        loaded = true;
    }
    // Another server or user: what was known of the old one is no use, and its deletions
    // are not this server's business.
    if (state.server != s.server || state.user != s.user) {
        state.collections.clear();
        state.items.clear();
        std::erase_if(state.queue, [](const SyncState::Push& p) { return p.remove; });
        state.server = s.server;
        state.user = s.user;
        stateDirty = queueDirty = true;
        Save(true);
    }
    compare = true;
    client = std::make_unique<CalDavClient>(server, QString::fromStdString(s.user), password);
    Tell(Phase::Idle);
    pollTimer.start(0);
}

void CalDavSync::Impl::Noted(const ChangeSet& set) {
    // What the server brought is recorded where it is applied, and is not sent back.
    if (client == nullptr || applying) {
        return;
    }
    const std::vector<SyncState::Push> before = state.queue;
    state.QueueChanges(store, settings, set);
    if (state.queue != before) {
        // Written once the push is on the wire, in the same event-loop turn: the server
        // works on it meanwhile, and a crash before then would lose the unsaved booking
        // itself too.
        queueDirty = true;
        stateDirty = true;
        status.pending = static_cast<int>(state.queue.size());
        pushTimer.start(0);
    }
}

void CalDavSync::Impl::Start(bool pull) {
    followUp = false;
    if (client == nullptr) {
        return;
    }
    if (busy) {
        pushAgain = true;
        pullAgain = pullAgain || pull;
        return;
    }
    busy = true;
    ++passNumber;
    pulling = pull;
    pulled = false;
    pushError.clear();
    skipped.clear();
    pollTimer.stop();
    retryTimer.stop();
    Tell(Phase::Working);
    if (compare) {
        state.QueueDifferences(store, settings);
        compare = false;
        queueDirty = stateDirty = true;
        Save(true);
    }
    missing.clear();
    for (const ClsResource& resource : store.Resources()) {
        if (settings.Shares(resource.Id()) && !state.collections.contains(resource.Id())) {
            missing.push_back(resource.Id());
        }
    }
    EnsureNext();
}

void CalDavSync::Impl::EnsureNext() {
    if (missing.empty()) {
        PushStep();
        return;
    }
    const int32_t resourceId = missing.back();
    const QUrl url = client->CalendarUrl(resourceId);
    auto found = [this, resourceId, url] {
        state.collections[resourceId] = SyncState::Collection{url.path().toStdString(), {}};
        stateDirty = true;
        Save(true);
        missing.pop_back();
        EnsureNext();
    };
    client->Exists(url, [this, resourceId, url, found](const DavReply& reply) {
        if (reply.status == 207) {
            found();
            return;
        }
        if (reply.status != 404) {
            Fail(Why(reply, tr("to show the calendar %1").arg(url.path())));
            return;
        }
        const ClsResource* resource = store.Resources().Get(resourceId);
        const QString name =
            resource ? QString::fromStdString(resource->Name()).trimmed() : QString();
        client->MakeCalendar(url, name, [this, url, found](const DavReply& made) {
            if (made.Ok()) {
                found();
            } else {
                Fail(Why(made, tr("to make the calendar %1").arg(url.path())));
            }
        });
    });
}

void CalDavSync::Impl::PushStep() {
    if (pushError.isEmpty()) {
        for (size_t i = 0; i < state.queue.size() && sending.size() < kParallel;) {
            const SyncState::Push push = state.queue[i];
            const bool taken = std::find(sending.begin(), sending.end(), push) != sending.end() ||
                               (!push.remove && skipped.contains(push.id));
            // A push that found nothing to do has left the queue: the same place holds the next.
            if (taken || StartPush(push)) {
                ++i;
            }
        }
    }
    if (sending.empty()) {
        PushesDone();
    }
}

// False when the push was dropped from the queue instead of sent.
bool CalDavSync::Impl::StartPush(const SyncState::Push& push) {
    if (push.remove) {
        sending.push_back(push);
        client->Delete(client->At(QString::fromStdString(push.href)),
                       QByteArray::fromStdString(push.etag),
                       [this, push](const DavReply& reply) { DeleteDone(push, reply); });
        return true;
    }
    const ClsAppointment* record = store.Appointments().Get(push.id);
    if (record == nullptr || !settings.Shares(record->ResourceId())) {
        Forget(push);
        return false;
    }
    const auto calendar = state.collections.find(record->ResourceId());
    if (calendar == state.collections.end()) {
        // Shared since this pass looked for calendars: the next pass makes it.
        skipped.insert(push.id);
        pushAgain = true;
        return true;
    }
    const auto item = state.items.find(push.id);
    const std::string href =
        item != state.items.end()
            ? item->second.href
            : calendar->second.href + FileName(UidOf(data, push.id)).toStdString();
    const QByteArray etag =
        item != state.items.end() ? QByteArray::fromStdString(item->second.etag) : QByteArray();
    const int32_t resourceId = record->ResourceId();
    const uint64_t fingerprint = SyncState::Fingerprint(store, *record);
    const IcsOptions options{zone, data, QDateTime::currentSecsSinceEpoch()};
    std::string ics = IcsOfAppointment(store, push.id, options);
    const std::string uid = item != state.items.end() ? item->second.uid : std::string();
    if (!uid.empty()) {
        ics = WithUid(std::move(ics), UidOf(data, push.id), uid);
    }
    sending.push_back(push);
    client->Put(
        client->At(QString::fromStdString(href)), QByteArray::fromStdString(ics), etag,
        [this, push, href, fingerprint, resourceId, uid](const DavReply& reply) {
            PutDone(push,
                    SyncState::Item{resourceId, href, reply.etag.toStdString(), fingerprint, uid},
                    reply);
        });
    return true;
}

void CalDavSync::Impl::Forget(const SyncState::Push& push) {
    const auto it = std::find(state.queue.begin(), state.queue.end(), push);
    if (it != state.queue.end()) {
        state.queue.erase(it);
        queueDirty = true;
    }
}

void CalDavSync::Impl::PutDone(const SyncState::Push& push, const SyncState::Item& sent,
                               const DavReply& reply) {
    if (!busy) {
        return;
    }
    std::erase(sending, push);
    if (reply.Ok()) {
        state.items[push.id] = sent;
        stateDirty = true;
        // Changed again while on the wire: it stays queued and goes again.
        const ClsAppointment* record = store.Appointments().Get(push.id);
        if (record != nullptr && record->ResourceId() == sent.resourceId &&
            SyncState::Fingerprint(store, *record) == sent.fingerprint) {
            Forget(push);
        }
        Save(false);
        // The window shows the count going down as the server takes them.
        Tell(Phase::Working);
    } else if (reply.status == 412) {
        const auto item = state.items.find(push.id);
        // Already there though never sent from here (the state was lost), or changed on the
        // server since: the pull learns its ETag, and the planner's version, the one truth,
        // then goes over it.
        if (item != state.items.end()) {
            item->second.etag.clear();
            stateDirty = true;
        }
        skipped.insert(push.id);
        pushAgain = true;
        pulling = true;
    } else {
        pushError = Why(reply, tr("a booking"));
    }
    status.pending = static_cast<int>(state.queue.size());
    PushStep();
}

void CalDavSync::Impl::DeleteDone(const SyncState::Push& push, const DavReply& reply) {
    if (!busy) {
        return;
    }
    std::erase(sending, push);
    if (reply.Ok() || reply.status == 404 || reply.status == 410) {
        Forget(push);
        Save(false);
    } else if (reply.status == 412 && !push.etag.empty()) {
        // Changed on the server since; the booking is gone from the planner all the same.
        const auto it = std::find(state.queue.begin(), state.queue.end(), push);
        if (it != state.queue.end()) {
            it->etag.clear();
            queueDirty = true;
        }
    } else {
        pushError = Why(reply, tr("to delete an event"));
    }
    status.pending = static_cast<int>(state.queue.size());
    PushStep();
}

void CalDavSync::Impl::PushesDone() {
    Save(true);
    if (!pushError.isEmpty()) {
        Fail(pushError);
    } else if (pulling && !pulled) {
        pullList.clear();
        for (const auto& [resourceId, calendar] : state.collections) {
            if (settings.Shares(resourceId) && store.Resources().Exists(resourceId)) {
                pullList.push_back(resourceId);
            }
        }
        pullIndex = 0;
        tokens.clear();
        incoming = std::make_unique<ServerChanges>(changes, state, settings, data, zone);
        PullNext();
    } else {
        Finish();
    }
}

void CalDavSync::Impl::PullNext() {
    if (pullIndex == pullList.size()) {
        ApplyIncoming();
        return;
    }
    const int32_t resourceId = pullList[pullIndex];
    const SyncState::Collection& calendar = state.collections[resourceId];
    const QUrl url = client->At(QString::fromStdString(calendar.href));
    const QString token = QString::fromStdString(calendar.token);
    client->SyncCollection(url, token, [this, resourceId, url, token](const DavReply& reply) {
        const DavReply::MultiStatus listed = reply.Parse();
        if (reply.status == 207 && listed.ok) {
            Listed(resourceId, listed.entries, token.isEmpty(), listed.syncToken);
            return;
        }
        if (reply.status == 0) {
            Fail(reply.error);
            return;
        }
        // No token, or one the server no longer takes: every event and its ETag.
        client->Etags(url, [this, resourceId, url](const DavReply& all) {
            const DavReply::MultiStatus etags = all.Parse();
            if (all.status == 207 && etags.ok) {
                Listed(resourceId, etags.entries, true, QString());
            } else if (all.status == 404) {
                // The calendar is gone: the next pass makes it again and sends everything.
                state.collections.erase(resourceId);
                std::erase_if(state.items, [resourceId](const auto& entry) {
                    return entry.second.resourceId == resourceId;
                });
                compare = true;
                stateDirty = true;
                Fail(tr("The calendar %1 is gone from the server; it will be made again.")
                         .arg(url.path()));
            } else {
                Fail(Why(all, tr("to list the calendar %1").arg(url.path())));
            }
        });
    });
}

void CalDavSync::Impl::Listed(int32_t resourceId, const QList<DavReply::Entry>& entries, bool full,
                              const QString& token) {
    const std::string& own = state.collections[resourceId].href;
    std::unordered_map<std::string, int32_t> known;
    for (const auto& [id, item] : state.items) {
        if (item.resourceId == resourceId) {
            known.emplace(item.href, id);
        }
    }
    QStringList fetch;
    std::set<std::string> seen;
    for (const DavReply::Entry& entry : entries) {
        const std::string href = entry.href.toStdString();
        if (href == own || href + '/' == own) {
            continue;
        }
        const auto it = known.find(href);
        if (entry.status == 404) {
            if (it != known.end()) {
                incoming->Removed(it->second);
            }
        } else if (entry.status == 200) {
            seen.insert(href);
            if (it == known.end() || state.items[it->second].etag != entry.etag.toStdString()) {
                fetch << entry.href;
            }
        }
    }
    if (full) {
        for (const auto& [href, id] : known) {
            if (!seen.contains(href)) {
                incoming->Removed(id);
            }
        }
    }
    tokens[resourceId] = token;
    Fetch(resourceId, fetch, 0);
}

void CalDavSync::Impl::Fetch(int32_t resourceId, const QStringList& hrefs, qsizetype from) {
    if (from >= hrefs.size()) {
        ++pullIndex;
        PullNext();
        return;
    }
    const QUrl url = client->At(QString::fromStdString(state.collections[resourceId].href));
    client->MultiGet(url, hrefs.mid(from, kMultiGet),
                     [this, resourceId, hrefs, from, url](const DavReply& reply) {
                         const DavReply::MultiStatus got = reply.Parse();
                         if (reply.status != 207 || !got.ok) {
                             Fail(Why(reply, tr("to read the calendar %1").arg(url.path())));
                             return;
                         }
                         for (const DavReply::Entry& entry : got.entries) {
                             if (entry.status == 200 && !entry.calendarData.isEmpty()) {
                                 incoming->Changed(ServerChanges::Event{
                                     resourceId, entry.href, entry.etag, entry.calendarData});
                             }
                         }
                         Fetch(resourceId, hrefs, from + kMultiGet);
                     });
}

void CalDavSync::Impl::ApplyIncoming() {
    applying = true;
    QStringList refused;
    try {
        refused = incoming->Apply();
    } catch (...) {
        applying = false;
        throw;
    }
    applying = false;
    incoming.reset();
    for (const auto& [resourceId, token] : tokens) {
        if (const auto it = state.collections.find(resourceId); it != state.collections.end()) {
            it->second.token = token.toStdString();
        }
    }
    pulled = true;
    stateDirty = queueDirty = true;
    Save(true);
    if (!refused.isEmpty()) {
        emit self.Refused(refused);
    }
    PushStep();
}

void CalDavSync::Impl::Ended(bool ok) {
    busy = false;
    finished = passNumber;
    lastOk = ok;
    Save(true);
}

void CalDavSync::Impl::Finish() {
    Ended(true);
    backoff = kFirstRetryMs;
    status.lastError.clear();
    status.lastSync = QDateTime::currentDateTime();
    pollTimer.start(kPollMs);
    if (pushAgain || pullAgain) {
        const bool pull = pullAgain;
        pushAgain = pullAgain = false;
        followUp = true;
        QTimer::singleShot(0, &self, [this, pull] { Start(pull); });
    }
    Tell(Phase::Idle);
}

void CalDavSync::Impl::Fail(const QString& reason) {
    sending.clear();
    incoming.reset();
    Ended(false);
    pushAgain = pullAgain = false;
    status.lastError = reason;
    retryTimer.start(backoff);
    backoff = std::min(backoff * 2, kLastRetryMs);
    Tell(Phase::Waiting);
}

CalDavSync::CalDavSync(StoreChanges& changes, const ProgramFolders&, QObject* parent)
    : QObject(parent), impl_(new Impl(*this, changes)) {
    impl_->pushTimer.setSingleShot(true);
    impl_->pollTimer.setSingleShot(true);
    impl_->retryTimer.setSingleShot(true);
    impl_->saveTimer.setSingleShot(true);
    connect(&impl_->pushTimer, &QTimer::timeout, this, [this] {
        impl_->Start(false);
        impl_->Save(true);
    });
    connect(&impl_->pollTimer, &QTimer::timeout, this, [this] { impl_->Start(true); });
    connect(&impl_->retryTimer, &QTimer::timeout, this, [this] { impl_->Start(true); });
    connect(&impl_->saveTimer, &QTimer::timeout, this, [this] { impl_->Save(true); });
    impl_->subscription = changes.Subscribe([this](const ChangeSet& set) { impl_->Noted(set); });
}

CalDavSync::~CalDavSync() {
    impl_->subscription.Reset();
    impl_->client.reset();
    impl_->Save(true);
    delete impl_;
}

void CalDavSync::Configure(const SyncSettings& settings, const QString& password) {
    impl_->Configure(settings, password);
}

const SyncSettings& CalDavSync::Settings() const {
    return impl_->settings;
}

void CalDavSync::SyncNow() {
    impl_->Start(true);
}

bool CalDavSync::RunOnce(QString& error) {
    if (impl_->client == nullptr) {
        error = impl_->status.lastError.isEmpty() ? tr("No calendar server is set up.")
                                                  : impl_->status.lastError;
        return false;
    }
    // The pass, and the few that follow at once (the planner's version put back over what
    // the server turned down), so that one run leaves both sides in step.
    constexpr int kPasses = 3;
    const int first = impl_->passNumber + 1;
    const auto done = [&] {
        return impl_->finished >= first &&
               ((!impl_->followUp && !impl_->busy) || impl_->finished >= first + kPasses - 1);
    };
    QEventLoop loop;
    const auto watch = connect(this, &CalDavSync::StatusChanged, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    SyncNow();
    if (!done()) {
        loop.exec();
    }
    disconnect(watch);
    error = impl_->lastOk ? QString() : impl_->status.lastError;
    return impl_->lastOk;
}

CalDavSync::Status CalDavSync::CurrentStatus() const {
    Status status = impl_->status;
    status.pending = static_cast<int>(impl_->state.queue.size());
    return status;
}
