#include <QFile>

#include <functional>

#include "calendar/SyncState.h"
#include "sync/SyncFixture.h"

namespace {

using Phase = CalDavSync::Phase;

class CalDavSyncTest : public SyncFixture {};

TEST_F(CalDavSyncTest, FirstPassMakesOneCalendarPerResourceAndOneEventPerBooking) {
    Sync();
    Pass();
    EXPECT_EQ(server->Events(user, roomA).size(), 2);
    EXPECT_EQ(server->Events(user, roomB).size(), 1);
    QFile props(server->Calendar(user, roomB) + "/.Radicale.props");
    ASSERT_TRUE(props.open(QIODevice::ReadOnly));
    EXPECT_TRUE(props.readAll().contains("Room B"));
    const RadicaleServer::Answer event = server->Curl("GET", PathOf(roomA, second));
    EXPECT_TRUE(event.body.contains("SUMMARY:Bob - Talk")) << event.body.toStdString();
    const CalDavSync::Status status = sync->CurrentStatus();
    EXPECT_EQ(status.phase, Phase::Idle);
    EXPECT_EQ(status.pending, 0);
    EXPECT_TRUE(status.lastSync.isValid());
    // A second pass finds nothing to do: the planner's own events do not come back.
    Pass();
    EXPECT_TRUE(refused.isEmpty());
    EXPECT_EQ(store->Appointments().Count(), 3u);
}

struct PlannerCase {
    const char* name;
    std::function<void(SyncFixture&)> change;
    int inA, inB;        // events on the rooms' calendars afterwards
    const char* summary; // in the first booking's event; nullptr when it is gone
};

class PlannerChangeTest : public SyncFixture, public ::testing::WithParamInterface<PlannerCase> {};

TEST_P(PlannerChangeTest, ReachesTheServerWithoutAPass) {
    Sync();
    Pass();
    const QByteArray etag = server->Curl("GET", PathOf(roomA, first)).etag;
    GetParam().change(*this);
    Settle();
    EXPECT_EQ(server->Events(user, roomA).size(), GetParam().inA);
    EXPECT_EQ(server->Events(user, roomB).size(), GetParam().inB);
    const int32_t resource = GetParam().inB == 2 ? roomB : roomA;
    const QString path = PathOf(resource, first);
    if (GetParam().summary == nullptr) {
        EXPECT_TRUE(path.isEmpty());
        return;
    }
    const RadicaleServer::Answer now = server->Curl("GET", path);
    EXPECT_TRUE(now.body.contains(GetParam().summary)) << now.body.toStdString();
    EXPECT_NE(now.etag, etag);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlannerChangeTest,
    ::testing::Values(PlannerCase{"Edit",
                                  [](SyncFixture& f) {
                                      int32_t id = f.first;
                                      f.changes().AppointmentSave(id, f.bob, f.roomA, f.talk,
                                                                  f.At(13 * 60), f.At(14 * 60), "");
                                  },
                                  2, 1, "SUMMARY:Bob - Talk"},
                      PlannerCase{"MoveToTheOtherRoom",
                                  [](SyncFixture& f) {
                                      int32_t id = f.first;
                                      f.changes().AppointmentSave(id, f.ann, f.roomB, f.talk,
                                                                  f.At(13 * 60), f.At(14 * 60), "");
                                  },
                                  1, 2, "SUMMARY:Ann - Talk"},
                      PlannerCase{"Delete",
                                  [](SyncFixture& f) { f.changes().AppointmentDelete(f.first); }, 1,
                                  1, nullptr},
                      PlannerCase{"CustomerRenamed",
                                  [](SyncFixture& f) {
                                      int32_t id = f.ann;
                                      f.changes().CustomerSave(id, "Anna");
                                  },
                                  2, 1, "SUMMARY:Anna - Talk"}),
    [](const auto& row) { return std::string(row.param.name); });

struct ServerCase {
    const char* name;
    // What the other client does; returns the HTTP status it got.
    std::function<int(SyncFixture&)> change;
    int32_t firstStart; // the first booking's start afterwards, in minutes; -1: deleted
    size_t bookings;
    const char* refusal; // part of the message; nullptr when the change is taken
    int inA;             // events on room A's calendar afterwards
};

class ServerChangeTest : public SyncFixture, public ::testing::WithParamInterface<ServerCase> {};

TEST_P(ServerChangeTest, IsTakenOrRefusedAndPutBack) {
    const ServerCase& c = GetParam();
    Sync();
    Pass();
    const int status = c.change(*this);
    ASSERT_GE(status, 200) << "the other client's change";
    ASSERT_LT(status, 300) << "the other client's change";
    Pass();
    const ClsAppointment* booking = store->Appointments().Get(first);
    EXPECT_EQ(booking ? booking->StartDtTm() : -1, c.firstStart < 0 ? -1 : At(c.firstStart));
    EXPECT_EQ(store->Appointments().Count(), c.bookings);
    if (c.refusal == nullptr) {
        EXPECT_TRUE(refused.isEmpty()) << refused.join("\n").toStdString();
    } else {
        ASSERT_EQ(refused.size(), 1);
        EXPECT_TRUE(refused.first().contains(c.refusal)) << refused.first().toStdString();
    }
    EXPECT_EQ(server->Events(user, roomA).size(), c.inA);
    if (booking != nullptr) {
        // The server holds the planner's version of it afterwards, either way.
        const QByteArray event = server->Curl("GET", PathOf(roomA, first)).body;
        const QByteArray start = c.firstStart == 10 * 60 ? "T100000" : "T090000";
        EXPECT_TRUE(event.contains(start)) << event.toStdString();
    }
    EXPECT_EQ(sync->CurrentStatus().pending, 0);
}

int MoveFirst(SyncFixture& f, const char* start, const char* end) {
    const QString path = f.PathOf(f.roomA, f.first);
    const RadicaleServer::Answer got = f.server->Curl("GET", path);
    return f.server
        ->Curl("PUT", path, SyncFixture::Moved(got.body, start, end),
               {"If-Match: " + QString::fromLatin1(got.etag)})
        .status;
}

int NewEvent(SyncFixture& f, const char* summary, const char* start, const char* end) {
    const QString path = QString::fromStdString("/" + f.user + "/tidemar-") +
                         QString::number(f.roomA) + "/phone-1.ics";
    return f.server->Curl("PUT", path, SyncFixture::Event("phone-1", summary, start, end)).status;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ServerChangeTest,
    ::testing::Values(
        ServerCase{
            "TimeMoved",
            [](SyncFixture& f) { return MoveFirst(f, "20261207T100000", "20261207T110000"); },
            10 * 60, 3, nullptr, 2},
        ServerCase{"EventDeleted",
                   [](SyncFixture& f) {
                       return f.server->Curl("DELETE", f.PathOf(f.roomA, f.first)).status;
                   },
                   -1, 2, nullptr, 1},
        ServerCase{"NewEventOfKnownNames",
                   [](SyncFixture& f) {
                       return NewEvent(f, "Bob - Talk", "20261207T140000", "20261207T150000");
                   },
                   9 * 60, 4, nullptr, 3},
        ServerCase{
            "Collides",
            [](SyncFixture& f) { return MoveFirst(f, "20261207T110000", "20261207T120000"); },
            9 * 60, 3, "collides with Bob's booking", 2},
        ServerCase{
            "OffTheTypesSteps",
            [](SyncFixture& f) { return MoveFirst(f, "20261207T090700", "20261207T100000"); },
            9 * 60, 3, "steps of 15 minutes", 2},
        ServerCase{
            "LongerThanTheType",
            [](SyncFixture& f) { return MoveFirst(f, "20261207T000000", "20261207T093000"); },
            9 * 60, 3, "longer than the 480 minutes", 2},
        ServerCase{"UnknownCustomer",
                   [](SyncFixture& f) {
                       return NewEvent(f, "Nobody - Talk", "20261207T140000", "20261207T150000");
                   },
                   9 * 60, 3, "does not name a customer", 2},
        ServerCase{"NewRepeatingEvent",
                   [](SyncFixture& f) {
                       QByteArray event = SyncFixture::Event("phone-1", "Bob - Talk",
                                                             "20261207T140000", "20261207T150000");
                       event.replace("SUMMARY:", "RRULE:FREQ=DAILY;COUNT=3\r\nSUMMARY:");
                       const QString path = QString::fromStdString("/" + f.user + "/tidemar-") +
                                            QString::number(f.roomA) + "/phone-1.ics";
                       return f.server->Curl("PUT", path, event).status;
                   },
                   9 * 60, 3, "no repeating events", 2}),
    [](const auto& row) { return std::string(row.param.name); });

// The server changed the event since the planner last sent it: the planner's PUT carries
// the old ETag and is turned down; the planner's version is the one kept, and the user told.
TEST_F(CalDavSyncTest, AChangeOnBothSidesKeepsThePlannersVersion) {
    Sync();
    Pass();
    const int moved = MoveFirst(*this, "20261207T100000", "20261207T110000");
    ASSERT_TRUE(moved >= 200 && moved < 300) << moved;
    int32_t id = first;
    changes().AppointmentSave(id, ann, roomA, talk, At(8 * 60), At(9 * 60), "");
    Settle();
    Pass();
    EXPECT_EQ(store->Appointments().Get(first)->StartDtTm(), At(8 * 60));
    const QByteArray event = server->Curl("GET", PathOf(roomA, first)).body;
    EXPECT_TRUE(event.contains("T080000")) << event.toStdString();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_TRUE(refused.first().contains("both in the planner and on the server"))
        << refused.first().toStdString();
}

// A server keeps an event's UID for good: the planner's changes of a booking it took from
// another client go back under that client's UID.
TEST_F(CalDavSyncTest, ABookingTakenFromAnotherClientKeepsItsUid) {
    Sync();
    Pass();
    const int status = NewEvent(*this, "Bob - Talk", "20261207T140000", "20261207T150000");
    ASSERT_TRUE(status >= 200 && status < 300) << status;
    Pass();
    int32_t taken = 0;
    for (const ClsAppointment& a : store->Appointments()) {
        taken = a.Id() != first && a.Id() != second && a.Id() != third ? a.Id() : taken;
    }
    ASSERT_NE(taken, 0);
    changes().AppointmentSave(taken, bob, roomA, talk, At(15 * 60), At(16 * 60), "");
    Settle();
    EXPECT_EQ(sync->CurrentStatus().phase, Phase::Idle)
        << sync->CurrentStatus().lastError.toStdString();
    const QByteArray event = server
                                 ->Curl("GET", QString::fromStdString("/" + user + "/tidemar-") +
                                                   QString::number(roomA) + "/phone-1.ics")
                                 .body;
    EXPECT_TRUE(event.contains("UID:phone-1\r\n")) << event.toStdString();
    EXPECT_TRUE(event.contains("T150000")) << event.toStdString();
    EXPECT_EQ(server->Events(user, roomA).size(), 3);
}

TEST_F(CalDavSyncTest, AServerThatIsDownLosesNothing) {
    const int port = RadicaleServer::FreePort();
    const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/";
    Sync(url);
    QString error;
    EXPECT_FALSE(sync->RunOnce(error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(sync->CurrentStatus().phase, Phase::Waiting);
    EXPECT_EQ(sync->CurrentStatus().pending, 3);
    SyncState onDisk;
    EXPECT_EQ(onDisk.Load(store->Files(), folders.Data()), SyncState::Read::Ok);
    EXPECT_EQ(onDisk.queue.size(), 3u);

    Open(); // the planner ends and starts again
    RadicaleServer back(port);
    ASSERT_TRUE(back.Started()) << back.Error();
    Sync(url);
    Pass();
    EXPECT_EQ(back.Events(user, roomA).size(), 2);
    EXPECT_EQ(back.Events(user, roomB).size(), 1);
}

// Bookings changed while the planner did not sync are found by comparing at the start.
TEST_F(CalDavSyncTest, ChangesMadeWhileNotSyncingGoAtTheNextStart) {
    Sync();
    Pass();
    Open();
    changes().AppointmentDelete(second);
    Sync();
    Pass();
    EXPECT_EQ(server->Events(user, roomA).size(), 1);
}

// What the planner knew of the server is lost or stale: it compares everything again and
// neither loses nor doubles an event.
TEST_F(CalDavSyncTest, ADamagedStateOrATokenTheServerRefusesCostsOnlyAComparison) {
    Sync();
    Pass();
    Open();
    QFile state(QString::fromStdString(folders.Data() + "/CalendarSync.state"));
    ASSERT_TRUE(state.open(QIODevice::ReadWrite));
    state.write("damaged");
    state.close();
    Sync();
    Pass();
    EXPECT_EQ(server->Events(user, roomA).size(), 2);
    EXPECT_EQ(store->Appointments().Count(), 3u);
    EXPECT_TRUE(refused.isEmpty()) << refused.join("\n").toStdString();

    Open();
    SyncState known;
    ASSERT_EQ(known.Load(store->Files(), folders.Data()), SyncState::Read::Ok);
    ASSERT_FALSE(known.collections[roomA].token.empty());
    known.collections[roomA].token = "http://radicale.org/ns/sync/0000";
    ASSERT_TRUE(known.SaveState(store->Files(), folders.Data()));
    ASSERT_EQ(server->Curl("DELETE", PathOf(roomA, second)).status, 200);
    Sync();
    Pass();
    EXPECT_FALSE(store->Appointments().Exists(second));
    EXPECT_EQ(store->Appointments().Count(), 2u);
}

TEST_F(CalDavSyncTest, ACertificateNobodyTrustsIsToldAndNothingIsSent) {
    RadicaleServer untrusted(0, true);
    ASSERT_TRUE(untrusted.Started()) << untrusted.Error();
    Sync("https://127.0.0.1:" + std::to_string(untrusted.Port()) + "/");
    QString error;
    EXPECT_FALSE(sync->RunOnce(error));
    EXPECT_TRUE(error.contains("certificate")) << error.toStdString();
    EXPECT_EQ(sync->CurrentStatus().lastError, error);
    EXPECT_EQ(sync->CurrentStatus().pending, 3);
    EXPECT_TRUE(untrusted.Events(user, roomA).isEmpty());
}

TEST_F(CalDavSyncTest, PlainHttpToAnotherMachineIsRefused) {
    Sync("http://192.0.2.1/dav/");
    QString error;
    EXPECT_FALSE(sync->RunOnce(error));
    EXPECT_TRUE(error.contains("https://")) << error.toStdString();
    EXPECT_EQ(sync->CurrentStatus().phase, Phase::Failed);
}

} // namespace
