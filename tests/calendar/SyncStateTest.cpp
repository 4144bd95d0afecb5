#include <functional>

#include "calendar/CalendarFixture.h"
#include "calendar/SyncState.h"
#include "support/FaultyFileSystem.h"

namespace {

using Push = SyncState::Push;

class SyncStateTest : public CalendarFixture {
protected:
    void SetUp() override {
        CalendarFixture::SetUp();
        inRoom = Book(room, ann, cut, 2026, 12, 7, 9 * 60, 10 * 60);
        inHall = Book(hall, bob, cut, 2026, 12, 7, 9 * 60, 10 * 60);
    }
    // What the state holds after both bookings went to the server.
    SyncState Sent() const {
        SyncState s;
        s.server = "https://dav.example/a b%";
        s.user = "ann";
        s.collections[room] = {"/ann/tidemar-1/", "http://radicale.org/ns/sync/7"};
        for (const int32_t id : {inRoom, inHall}) {
            const ClsAppointment& a = *store.Appointments().Get(id);
            s.items[id] = {a.ResourceId(), "/ann/tidemar-1/" + std::to_string(id) + " x.ics",
                           "\"e" + std::to_string(id) + "\"", SyncState::Fingerprint(store, a),
                           id == inHall ? "phone 1\v%@x" : ""};
        }
        return s;
    }
    std::string Data() const { return ProgramFolders{dir.path()}.Data(); }

    SyncSettings all{"https://dav.example/", "ann", true, {}};

public:
    // For the table rows' changes.
    using CalendarFixture::bob;
    using CalendarFixture::hall;
    using CalendarFixture::store;
    int32_t inRoom = 0;
    int32_t inHall = 0;
};

TEST_F(SyncStateTest, WhatIsWrittenIsReadBack) {
    SyncState s = Sent();
    s.queue = {Push{inRoom, false, {}, {}}, Push{9, true, "/ann/tidemar-1/9 %.ics", ""}};
    ASSERT_TRUE(s.SaveState(FileSystem::Real(), Data()));
    ASSERT_TRUE(s.SaveQueue(FileSystem::Real(), Data()));
    SyncState read;
    ASSERT_EQ(read.Load(FileSystem::Real(), Data()), SyncState::Read::Ok);
    EXPECT_EQ(read.server, s.server);
    EXPECT_EQ(read.collections.at(room).token, s.collections.at(room).token);
    ASSERT_EQ(read.items.size(), 2u);
    EXPECT_EQ(read.items.at(inHall).href, s.items.at(inHall).href);
    EXPECT_EQ(read.items.at(inHall).etag, s.items.at(inHall).etag);
    EXPECT_EQ(read.items.at(inHall).fingerprint, s.items.at(inHall).fingerprint);
    EXPECT_EQ(read.items.at(inHall).uid, s.items.at(inHall).uid);
    EXPECT_EQ(read.queue, s.queue);
    EXPECT_EQ(SyncState().Load(FileSystem::Real(), dir.file("none")), SyncState::Read::Missing);
}

struct Damage {
    const char* name;
    std::function<std::string(std::string)> damage;
};

class DamagedStateTest : public SyncStateTest, public ::testing::WithParamInterface<Damage> {};

// A damaged state is not trusted: it reads as empty, so everything is compared again, and
// the queue beside it is kept.
TEST_P(DamagedStateTest, IsNotTrusted) {
    SyncState s = Sent();
    s.queue = {Push{inRoom, false, {}, {}}};
    ASSERT_TRUE(s.SaveState(FileSystem::Real(), Data()));
    ASSERT_TRUE(s.SaveQueue(FileSystem::Real(), Data()));
    const std::string path = Data() + "/CalendarSync.state";
    WriteText(path, GetParam().damage(ReadText(path)));
    SyncState read;
    EXPECT_EQ(read.Load(FileSystem::Real(), Data()), SyncState::Read::Damaged);
    EXPECT_TRUE(read.items.empty());
    EXPECT_TRUE(read.collections.empty());
    EXPECT_EQ(read.queue, s.queue);
    read.QueueDifferences(store, all);
    EXPECT_EQ(read.queue.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DamagedStateTest,
    ::testing::Values(
        Damage{"ByteChanged", [](std::string text) { return text.replace(40, 1, "#"); }},
        Damage{"CutShort", [](std::string text) { return text.substr(0, text.size() / 2); }},
        Damage{"LineAdded", [](std::string text) { return "event 1\n" + text; }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(SyncStateTest, AFailedWriteKeepsTheFileBefore) {
    SyncState s;
    s.queue = {Push{inRoom, false, {}, {}}};
    ASSERT_TRUE(s.SaveQueue(FileSystem::Real(), Data()));
    for (const FaultyFileSystem::Op op :
         {FaultyFileSystem::Op::Write, FaultyFileSystem::Op::Fsync, FaultyFileSystem::Op::Rename}) {
        FaultyFileSystem files;
        files.faults.push_back({op, "CalendarSync.queue", 0, ENOSPC});
        SyncState more = s;
        more.queue.push_back(Push{inHall, false, {}, {}});
        EXPECT_FALSE(more.SaveQueue(files, Data()));
        SyncState read;
        EXPECT_EQ(read.Load(FileSystem::Real(), Data()), SyncState::Read::Ok);
        EXPECT_EQ(read.queue, s.queue);
    }
}

struct QueueCase {
    const char* name;
    std::function<void(SyncStateTest&, SyncSettings&)> change;
    std::vector<Push> queue; // ids as the fixture books them: 1 in the room, 2 in the hall
    bool roomWaits = false;  // the room's booking waits to be sent before the change
};

class QueueTest : public SyncStateTest, public ::testing::WithParamInterface<QueueCase> {};

TEST_P(QueueTest, FindsWhatTheServerMustBeTold) {
    SyncState s = Sent();
    const SyncState before = s;
    if (GetParam().roomWaits) {
        s.queue = {Push{inRoom, false, {}, {}}};
    }
    SyncSettings shared = all;
    GetParam().change(*this, shared);
    s.QueueDifferences(store, shared);
    std::vector<Push> expected = GetParam().queue;
    for (Push& p : expected) {
        p.id = p.id == 1 ? inRoom : inHall;
        if (p.remove) {
            p.href = before.items.at(p.id).href;
            p.etag = before.items.at(p.id).etag;
        }
    }
    EXPECT_EQ(s.queue, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, QueueTest,
    ::testing::Values(QueueCase{"Nothing", [](SyncStateTest&, SyncSettings&) {}, {}},
                      QueueCase{"Moved",
                                [](SyncStateTest& f, SyncSettings&) {
                                    const ClsAppointment a = *f.store.Appointments().Get(f.inRoom);
                                    int32_t id = a.Id();
                                    f.store.AppointmentSave(id, a.CustomerId(), f.hall, a.TypeId(),
                                                            a.StartDtTm() + 60, a.EndDtTm() + 60,
                                                            "");
                                },
                                {Push{1, true, {}, {}}, Push{1, false, {}, {}}}},
                      QueueCase{"Deleted",
                                [](SyncStateTest& f, SyncSettings&) {
                                    f.store.AppointmentDelete(f.inHall);
                                },
                                {Push{2, true, {}, {}}}},
                      QueueCase{"CustomerRenamed",
                                [](SyncStateTest& f, SyncSettings&) {
                                    int32_t id = f.bob;
                                    f.store.CustomerSave(id, "Robert");
                                },
                                {Push{2, false, {}, {}}}},
                      QueueCase{"NoLongerShared",
                                [](SyncStateTest& f, SyncSettings& s) {
                                    s = {s.server, s.user, false, {f.hall}};
                                },
                                {Push{1, true, {}, {}}}},
                      // What waited to be sent is not sent once its resource is not shared.
                      QueueCase{"NoLongerSharedWhileWaiting",
                                [](SyncStateTest& f, SyncSettings& s) {
                                    s = {s.server, s.user, false, {f.hall}};
                                },
                                {Push{1, true, {}, {}}},
                                true}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
