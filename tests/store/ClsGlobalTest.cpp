#include <algorithm>
#include <stdexcept>
#include <tuple>

#include "store/StoreTestFiles.h"

namespace {

const int32_t kDay = ClsDate::DayNumberFromCivil(2026, 12, 5);

class ClsGlobalTest : public StoreTest {
protected:
    void TearDown() override {
        EXPECT_EQ(ReadLog(), ""); // nothing these cases do is a failure
        StoreTest::TearDown();
    }
};

TEST_F(ClsGlobalTest, NewStoreAndGlobalRecordLayout) {
    {
        ClsGlobal store(Folders());
        int32_t id = 0;
        store.CustomerSave(id, "never written"); // releasing the store writes nothing
    }
    EXPECT_FALSE(fs::exists(Data("Global.bin")));
    for (const char* name : {"Resource.bin", "Customer.bin", "Type.bin", "Appointment.bin"}) {
        EXPECT_TRUE(fs::is_regular_file(Data(name)) && fs::file_size(Data(name)) == 0) << name;
    }
    // Counter, 12 reserved zeros, settings, 51 colours, 204 reserved zeros, 100 options,
    // the resource type, then reserved spaces.
    FileBytes golden(710, ' ');
    std::fill(golden.begin(), golden.begin() + 436, 0);
    golden[0] = 3;
    const uint32_t colors[5] = {0x00FFFFFF, 0x00FFFF00, 0x00C0FFC0, 0x00C0FFFF, 0x00C0C0FF};
    for (size_t i = 0; i < 50; ++i) {
        Put(golden, 28 + 4 * i, i < 5 ? colors[i] : 0xFFFFFF);
    }
    std::fill(golden.begin() + 436, golden.begin() + 441, 'X');
    ClsGlobal store(Folders());
    EXPECT_TRUE(store.FirstRun());
    for (int32_t id = 1; id <= 3; ++id) {
        EXPECT_EQ(store.NextId(), id);
    }
    ASSERT_TRUE(store.Save().Ok());
    EXPECT_EQ(ReadBytes(Data("Global.bin")), golden);
    // Each setting at its offset: the date format, four int16s, the last colour and option,
    // and the resource type cut to its width; indexes out of range change nothing.
    store.SetDateFormat(-7);
    store.SetPrintOrientation(1);
    store.SetPreviewViewType(-2);
    store.SetPrintPageSize(0x1234);
    store.SetPreviewZoom(-32768);
    for (int i : {-1, 50, 51}) {
        store.SetColor(i, 0x0A0B0C);
    }
    for (int i : {0, 1, 100, 101}) {
        store.SetOption(i, i != 1);
    }
    store.SetResourceType("  ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    ASSERT_TRUE(store.Save().Ok());
    Put(golden, 16, 0xFFFFFFF9);
    Put(golden, 20, 0x80001234FFFE0001, 8);
    Put(golden, 228, 0x0A0B0C);
    golden[436] = ' ';
    golden[535] = 'X';
    const std::string type = "  ABCDEFGHIJKLMNOPQRSTUV";
    std::copy(type.begin(), type.end(), golden.begin() + 536);
    EXPECT_EQ(ReadBytes(Data("Global.bin")), golden);
    EXPECT_EQ(store.ResourceType(), "ABCDEFGHIJKLMNOPQRSTUV");
    int32_t explicitId = 50; // an explicit id moves the counter past it
    EXPECT_EQ(store.ResourceSave(explicitId, "R") + store.NextId(), 50 + 51);
}

// Resource 1 holds 09:00-11:00 (id 1); resource 2 holds a zero-length 10:00 (id 2). A
// candidate that collides is refused and changes nothing.
TEST_F(ClsGlobalTest, OverlapEdges) {
    // clang-format off
    const std::tuple<const char*, int32_t, int32_t, int32_t, int32_t, bool> rows[] = {
        {"same time", 0, 1, At(540), At(660), true},
        {"same start, ends later", 0, 1, At(540), At(720), true},
        {"ends inside", 0, 1, At(480), At(570), true},
        {"starts inside", 0, 1, At(630), At(720), true},
        {"covers", 0, 1, At(480), At(720), true},
        {"inside", 0, 1, At(570), At(600), true},
        {"touches end", 0, 1, At(660), At(720), false},
        {"zero-length on its end", 0, 1, At(660), At(660), true},
        {"after it", 0, 1, At(690), At(720), false},
        {"touches start", 0, 1, At(480), At(540), false},
        {"other resource", 0, 3, At(540), At(660), false},
        {"itself re-saved longer", 1, 1, At(540), At(690), false},
        {"other id re-saved", 7, 1, At(600), At(690), true},
        {"stored one moved onto it", 2, 1, At(600), At(690), true},
        {"day after", 0, 1, At(540, kDay + 1), At(660, kDay + 1), false},
        {"reversed inside", 0, 1, At(600), At(570), true},
        {"reversed to its end", 0, 1, At(700), At(660), true},
        {"reversed around", 0, 1, At(700), At(500), false},
        {"zero-length: ends on it", 0, 2, At(590), At(600), true},
        {"zero-length: covers it", 0, 2, At(590), At(610), true},
        {"zero-length: starts on it", 0, 2, At(600), At(610), false}};
    // clang-format on
    for (const auto& [label, candidate, resource, start, end, collides] : rows) {
        SCOPED_TRACE(label);
        TempDir own;
        ClsGlobal store(ProgramFolders{own.path()});
        int32_t first = 0, second = 0, id = candidate;
        ASSERT_EQ(store.AppointmentSave(first, 0, 1, 0, At(540), At(660), "A"), 1);
        ASSERT_EQ(store.AppointmentSave(second, 0, 2, 0, At(600), At(600), "Z"), 2);
        const FileBytes stored = Dump(store.Appointments());
        EXPECT_EQ(store.CheckForOverlap(candidate, resource, start, end), collides);
        // Each resource holds one appointment, whose id is the resource's.
        EXPECT_EQ(store.OverlappingAppointment(candidate, resource, start, end),
                  collides ? resource : 0);
        const int32_t result = store.AppointmentSave(id, 5, resource, 0, start, end, "new");
        if (collides) {
            EXPECT_EQ(result, -1);
            EXPECT_EQ(Dump(store.Appointments()), stored);
        } else {
            EXPECT_EQ(result, candidate != 0 ? candidate : 3);
            EXPECT_EQ(store.AppointmentLoad(result)->CustomerId(), 5);
        }
    }
}

// A booking after all of a resource's is taken without looking at each: once the latest is
// gone, the one before it is the latest again, also for a store loaded from the files.
TEST_F(ClsGlobalTest, OverlapAfterTheLatestIsDeleted) {
    ClsGlobal store(ProgramFolders{dir.path()});
    int32_t room = 0, early = 0, late = 0;
    ASSERT_EQ(store.ResourceSave(room, "Room"), 1);
    ASSERT_GT(store.AppointmentSave(early, 0, 1, 0, At(540), At(660), ""), 0);
    ASSERT_GT(store.AppointmentSave(late, 0, 1, 0, At(700), At(760), ""), 0);
    EXPECT_EQ(store.OverlappingAppointment(0, 1, At(750), At(800)), late);
    ASSERT_TRUE(store.AppointmentDelete(late));
    EXPECT_EQ(store.OverlappingAppointment(0, 1, At(600), At(800)), early);
    EXPECT_EQ(store.OverlappingAppointment(0, 1, At(660), At(700)), 0);
    ASSERT_TRUE(store.Save().Ok());
    EXPECT_EQ(ClsGlobal(ProgramFolders{dir.path()}).OverlappingAppointment(0, 1, At(650), At(800)),
              early);
}

// Resources 1-2, customers 3-4, types 5-6; appointments 7-11, an hour each in turn.
TEST_F(ClsGlobalTest, DeletesCascadeToTheirAppointments) {
    const int32_t appts[5][3] = {{1, 3, 5}, {1, 4, 0}, {1, 3, 6}, {2, 4, 5}, {2, 3, 0}};
    using Op = bool (ClsGlobal::*)(int32_t);
    const std::tuple<Op, int32_t, bool, IdList> rows[] = {
        {&ClsGlobal::ResourceDelete, 1, true, {10, 11}},
        {&ClsGlobal::CustomerDelete, 3, true, {8, 10}},
        {&ClsGlobal::TypeDelete, 5, true, {8, 9, 11}}, // untyped ones stay
        {&ClsGlobal::AppointmentDelete, 9, true, {7, 8, 10, 11}},
        {&ClsGlobal::ResourceDelete, 3, false, {7, 8, 9, 10, 11}},
        {&ClsGlobal::CustomerDelete, 99, false, {7, 8, 9, 10, 11}},
        {&ClsGlobal::TypeDelete, 0, false, {7, 8, 9, 10, 11}},
        {&ClsGlobal::AppointmentDelete, 1, false, {7, 8, 9, 10, 11}}};
    for (const auto& [op, target, result, left] : rows) {
        SCOPED_TRACE(::testing::Message() << "row deleting " << target);
        TempDir own;
        ClsGlobal store(ProgramFolders{own.path()});
        for (int32_t i = 1; i <= 6; ++i) { // resources, customers, types
            int32_t id = 0;
            i <= 2   ? store.ResourceSave(id, "R")
            : i <= 4 ? store.CustomerSave(id, "C")
                     : store.TypeSave(id, "T", 1, 2, 15, 0, 15);
        }
        for (int i = 0; i < 5; ++i) {
            int32_t id = 0;
            store.AppointmentSave(id, appts[i][1], appts[i][0], appts[i][2], At(60 * i),
                                  At(60 * i + 60), "");
        }
        const size_t kept =
            store.Resources().Count() + store.Customers().Count() + store.Types().Count();
        EXPECT_EQ((store.*op)(target), result);
        EXPECT_EQ(Ids(store.Appointments()), left);
        EXPECT_EQ(store.Resources().Count() + store.Customers().Count() + store.Types().Count(),
                  kept - (result && op != &ClsGlobal::AppointmentDelete ? 1 : 0));
        // Removed bookings no longer block their slots; kept ones still do.
        for (int32_t i = 0; i < 5; ++i) {
            EXPECT_EQ(store.CheckForOverlap(0, appts[i][0], At(60 * i), At(60 * i + 60)),
                      std::count(left.begin(), left.end(), 7 + i) == 1)
                << i;
        }
    }
}

// Deleting many appointments at once: the same result as deleting them one by one, and a
// failure part way leaves the records and the per-resource index in step. Two resources
// whose appointments alternate in the store: a1 b1 a2 b2 ...
class BulkDeleteTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        store.ResourceSave(a, "A");
        store.ResourceSave(b, "B");
        for (int i = 0; i < 6; ++i) {
            for (int32_t resource : {a, b}) {
                int32_t id = 0;
                store.AppointmentSave(id, 0, resource, 0, At(60 * i), At(60 * i + 30), "");
                (resource == a ? as : bs).push_back(id);
            }
        }
    }
    IdList IndexOf(int32_t resource) {
        IdList ids;
        for (const ResourceSlot& slot : store.AppointmentsOfResource(resource)) {
            ids.push_back(slot.id);
        }
        return ids;
    }

    // Counts the appointments the store says it removed, and refuses the one numbered refuse.
    struct Removals : StoreObserver {
        void Removed(const ClsAppointment&, uint64_t) override {
            if (++count == refuse) {
                throw std::runtime_error("refused");
            }
        }
        int count = 0;
        int refuse = 0;
    };

    ClsGlobal store{Folders()};
    int32_t a = 0, b = 0;
    IdList as, bs;
    Removals removals;
};

TEST_F(BulkDeleteTest, DeletesTheGivenIdsAsOneByOneWould) {
    store.SetObserver(&removals);
    // Out of order, with a repeat, an unknown id and another resource's.
    EXPECT_EQ(store.AppointmentsDelete(IdList{as[4], as[1], 999, as[4], bs[2]}), 3u);
    EXPECT_EQ(removals.count, 3) << "one change per appointment deleted";
    EXPECT_EQ(IndexOf(a), (IdList{as[0], as[2], as[3], as[5]}));
    EXPECT_EQ(IndexOf(b), (IdList{bs[0], bs[1], bs[3], bs[4], bs[5]}));
    EXPECT_EQ(Ids(store.Appointments()),
              (IdList{as[0], bs[0], bs[1], as[2], as[3], bs[3], bs[4], as[5], bs[5]}));
    EXPECT_EQ(store.AppointmentsDelete({}), 0u);

    // The freed times can be booked again; the ones left still collide.
    int32_t id = 0;
    EXPECT_GT(store.AppointmentSave(id, 0, a, 0, At(60), At(90), ""), 0);
    id = 0;
    EXPECT_EQ(store.AppointmentSave(id, 0, a, 0, At(120), At(150), ""), -1);

    EXPECT_EQ(store.AppointmentsDelete(IndexOf(a)), 5u);
    EXPECT_TRUE(store.AppointmentsOfResource(a).empty());
    EXPECT_EQ(IndexOf(b), (IdList{bs[0], bs[1], bs[3], bs[4], bs[5]}));
}

// A failure stops the deletes at the one it struck; the index follows the records exactly.
TEST_F(BulkDeleteTest, AFailureStopsWhereItStruck) {
    removals.refuse = 3;
    store.SetObserver(&removals);
    EXPECT_THROW(store.AppointmentsDelete(IdList{as[0], bs[0], as[1], as[2], bs[1]}),
                 std::runtime_error);
    store.SetObserver(nullptr);
    EXPECT_EQ(IndexOf(a), (IdList{as[2], as[3], as[4], as[5]}));
    EXPECT_EQ(IndexOf(b), (IdList{bs[1], bs[2], bs[3], bs[4], bs[5]}));
    EXPECT_FALSE(store.Appointments().Exists(as[1]));
    EXPECT_TRUE(store.Appointments().Exists(as[2]));
}

} // namespace
