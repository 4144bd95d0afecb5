#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "base/ModError.h"
#include "calendar/IcsWriter.h"
#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/ProgramFolders.h"
#include "store/StoreChanges.h"
#include "support/AddsRecords.h"
#include "support/RadicaleServer.h"
#include "support/TempDir.h"
#include "sync/CalDavSync.h"

// A store of two rooms and three bookings on 7 Dec 2026, and one Radicale for the whole
// suite; each test is another user on it, so its calendars start empty.
class SyncFixture : public ::testing::Test, public AddsRecords<SyncFixture> {
public:
    static void SetUpTestSuite() { server = new RadicaleServer; }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(server->Started()) << server->Error();
        static int users = 0;
        user = "user" + std::to_string(++users);
        ModError::SetLogFile(folders.LogFile());
        Open();
        roomA = AddResource("Room A");
        roomB = AddResource("Room B");
        ann = AddCustomer("Ann");
        bob = AddCustomer("Bob");
        talk = AddType("Talk"); // 15 to 480 minutes in steps of 15
        day = Day(2026, 12, 7);
        first = AddAppointment(roomA, ann, talk, day, 9 * 60, 10 * 60);
        second = AddAppointment(roomA, bob, talk, day, 11 * 60, 12 * 60);
        third = AddAppointment(roomB, ann, talk, day, 9 * 60, 10 * 60);
    }
    void TearDown() override {
        sync.reset();
        changes_.reset();
        store.reset();
    }

    // The store as a new start of the planner finds it.
    void Open() {
        sync.reset();
        changes_.reset();
        if (store) {
            ASSERT_TRUE(store->Save().Ok());
        }
        store = std::make_unique<ClsGlobal>(folders);
        changes_ = std::make_unique<StoreChanges>(*store);
    }
    StoreChanges& changes() { return *changes_; }

    CalDavSync& Sync(const std::string& url = server->Url()) {
        sync = std::make_unique<CalDavSync>(*changes_, folders);
        QObject::connect(sync.get(), &CalDavSync::Refused,
                         [this](const QStringList& messages) { refused += messages; });
        sync->Configure(SyncSettings{url, user, true, {}}, "secret");
        return *sync;
    }
    void Pass() {
        QString error;
        EXPECT_TRUE(sync->RunOnce(error)) << error.toStdString();
    }
    // Until the pushes are through, as the window would see it.
    void Settle() {
        QElapsedTimer waited;
        waited.start();
        auto busy = [this] {
            const CalDavSync::Status s = sync->CurrentStatus();
            return s.pending > 0 || s.phase == CalDavSync::Phase::Working;
        };
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        } while (busy() && waited.elapsed() < 5000);
        EXPECT_FALSE(busy());
    }

    // Where a booking's event lies on the server, under the server's root.
    QString PathOf(int32_t resourceId, int32_t id) const {
        const QByteArray uid = "UID:" + QByteArray::fromStdString(UidOf(folders.Data(), id));
        for (const QString& name : server->Events(user, resourceId)) {
            QFile file(server->Calendar(user, resourceId) + "/" + name);
            if (file.open(QIODevice::ReadOnly) && file.readAll().contains(uid)) {
                return QString::fromStdString("/" + user + "/tidemar-") +
                       QString::number(resourceId) + "/" + name;
            }
        }
        return {};
    }
    // An event's text with other times, as a phone moving it would write them.
    static QByteArray Moved(QByteArray ics, const char* start, const char* end) {
        QString text = QString::fromUtf8(ics);
        text.replace(QRegularExpression("DTSTART[^\\r\\n]*"), QString("DTSTART:") + start);
        text.replace(QRegularExpression("DTEND[^\\r\\n]*"), QString("DTEND:") + end);
        return text.toUtf8();
    }
    static QByteArray Event(const char* uid, const char* summary, const char* start,
                            const char* end) {
        return QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Phone//EN\r\n"
                          "BEGIN:VEVENT\r\nUID:") +
               uid + "\r\nDTSTAMP:20261201T000000Z\r\nDTSTART:" + start + "\r\nDTEND:" + end +
               "\r\nSUMMARY:" + summary + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    }
    int32_t At(int minute) const { return date.JoinDateTime(day, minute); }

    static inline RadicaleServer* server = nullptr;
    TempDir dir;
    ProgramFolders folders{dir.path()};
    ClsDate date;
    std::string user;
    std::unique_ptr<ClsGlobal> store;
    std::unique_ptr<StoreChanges> changes_;
    std::unique_ptr<CalDavSync> sync;
    QStringList refused;
    int32_t roomA = 0, roomB = 0, ann = 0, bob = 0, talk = 0, day = 0;
    int32_t first = 0, second = 0, third = 0;
};
