#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "datetime/Clock.h"
#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/ModError.h"
#include "store/ProgramFolders.h"
#include "store/RecordFile.h"
#include "store/SampleData.h"
#include "support/StoreFixture.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using IdList = std::vector<int32_t>;

const int32_t kDay = ClsDate::DayNumberFromCivil(2026, 12, 5);
int32_t At(int32_t minute, int32_t day = kDay) {
    return day * 2048 + minute;
}

template <class T> Bytes Dump(const Collection<T>& c) {
    RecordFile file(T::RecordLength);
    for (const auto& r : c) {
        r.Save(file);
    }
    return file.Bytes();
}
template <class T> IdList Ids(const Collection<T>& c) {
    IdList ids;
    for (const auto& r : c) {
        ids.push_back(r.Id());
    }
    return ids;
}

class ClsGlobalTest : public StoreFixture {
protected:
    void TearDown() override {
        StoreFixture::TearDown();
        // Nothing these cases do is a failure.
        std::ifstream log(dir.file("Tidemar.err"));
        EXPECT_FALSE(log.good()) << std::string(std::istreambuf_iterator<char>(log), {});
    }
    Bytes Read(const std::string& name) const {
        std::ifstream in(dir.file("Data/" + name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
};

// Little-endian value of n bytes at an offset.
void Put(Bytes& b, size_t at, uint64_t v, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

TEST_F(ClsGlobalTest, NewStoreAndGlobalRecordLayout) {
    const char* recordFiles[] = {"Resource.bin", "Customer.bin", "Type.bin", "Appointment.bin"};
    {
        ClsGlobal store(ProgramFolders{dir.path()});
        int32_t id = 0;
        store.CustomerSave(id, "never written"); // releasing the store writes nothing
    }
    EXPECT_FALSE(fs::exists(dir.file("Data/Global.bin")));
    for (const char* name : recordFiles) {
        EXPECT_TRUE(fs::is_regular_file(dir.file("Data/") + name) && Read(name).empty()) << name;
    }
    // Counter, 12 reserved zeros, settings, 51 colours, 204 reserved zeros, 100 options,
    // the resource type, then reserved spaces.
    Bytes golden(710, ' ');
    std::fill(golden.begin(), golden.begin() + 436, 0);
    golden[0] = 3;
    const uint32_t colors[5] = {0x00FFFFFF, 0x00FFFF00, 0x00C0FFC0, 0x00C0FFFF, 0x00C0C0FF};
    for (size_t i = 0; i < 50; ++i) {
        Put(golden, 28 + 4 * i, i < 5 ? colors[i] : 0xFFFFFF, 4);
    }
    std::fill(golden.begin() + 436, golden.begin() + 441, 'X');
    {
        ClsGlobal store(ProgramFolders{dir.path()});
        EXPECT_TRUE(store.FirstRun());
        for (int32_t id = 1; id <= 3; ++id) {
            EXPECT_EQ(store.NextId(), id);
        }
        ASSERT_TRUE(store.Save().Ok());
        EXPECT_EQ(Read("Global.bin"), golden);
        // Each setting at its offset; an index out of range changes nothing.
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
    }
    Put(golden, 16, 0xFFFFFFF9, 4);
    Put(golden, 20, 0x80001234FFFE0001, 8); // four int16s from offset 20
    Put(golden, 228, 0x0A0B0C, 4);
    golden[436] = ' ';
    golden[535] = 'X';
    const std::string type = "  ABCDEFGHIJKLMNOPQRSTUV";
    std::copy(type.begin(), type.end(), golden.begin() + 536);
    EXPECT_EQ(Read("Global.bin"), golden);

    ClsGlobal store(ProgramFolders{dir.path()});
    EXPECT_FALSE(store.FirstRun());
    EXPECT_EQ(std::make_tuple(store.DateFormat(), store.PrintOrientation(), store.PreviewViewType(),
                              store.PrintPageSize(), store.PreviewZoom()),
              std::make_tuple(-7, int16_t{1}, int16_t{-2}, int16_t{0x1234}, int16_t{-32768}));
    EXPECT_EQ(store.ResourceType(), "ABCDEFGHIJKLMNOPQRSTUV");
    EXPECT_EQ(std::make_tuple(store.Color(-1), store.Color(4), store.Color(49), store.Color(50),
                              store.Color(51)),
              std::make_tuple(0, 0x00C0C0FF, 0x00FFFFFF, 0x0A0B0C, 0));
    for (int i = 0; i <= 101; ++i) {
        EXPECT_EQ(store.Option(i), (i >= 2 && i <= 5) || i == 100) << i;
    }
}

TEST_F(ClsGlobalTest, SaveAllocatesReplacesAndLooksUp) {
    ClsGlobal store(ProgramFolders{dir.path()});
    int32_t a = 0, b = 0;
    EXPECT_EQ(store.CustomerSave(a, "Ann"), 1);
    EXPECT_EQ(store.CustomerSave(b, "Bob"), 2);
    EXPECT_EQ(a, 1);
    const auto before = store.CustomerLoad(1);
    EXPECT_EQ(store.CustomerSave(a, "Ann Two"), 1);
    EXPECT_EQ(Ids(store.Customers()), (IdList{2, 1}));
    EXPECT_EQ(store.Customers().Item("1c")->Name(), "Ann Two");
    EXPECT_EQ(before->Name(), "Ann"); // a caller's record does not change under it

    // An unknown explicit id is stored as given and the counter moves past it.
    int32_t explicitId = 50, fresh = 0;
    EXPECT_EQ(store.ResourceSave(explicitId, "Room"), 50);
    EXPECT_EQ(store.TypeSave(fresh, "T", 1, 2, 0, -5, -3), 51);
    const auto t = store.TypeLoad(51); // durations below a minute, but for the maximum
    EXPECT_EQ(std::make_tuple(t->MinTime(), t->MaxTime(), t->IncTime()), std::make_tuple(1, -5, 1));
    // Unknown ids, and ids of another kind, give a fresh record.
    EXPECT_EQ(store.TypeLoad(0)->Id() + store.AppointmentLoad(999)->Id(), 0);
    EXPECT_EQ(store.ResourceLoad(1)->Id(), 0);
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
        const Bytes stored = Dump(store.Appointments());
        EXPECT_EQ(store.CheckForOverlap(candidate, resource, start, end), collides);
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
        for (int i = 0; i < 6; ++i) { // ids 1-6 in turn: resources, customers, types
            int32_t id = 0;
            i < 2   ? store.ResourceSave(id, "R")
            : i < 4 ? store.CustomerSave(id, "C")
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

// A first run's sample data, changed, saved and loaded again.
TEST_F(ClsGlobalTest, SampleDataRoundTrip) {
    ClsGlobal first(ProgramFolders{dir.path()});
    ASSERT_TRUE(first.FirstRun());
    CreateSampleData(first, ClsDate());
    EXPECT_EQ(first.ResourceType(), "Rooms");
    EXPECT_EQ(Ids(first.Appointments()), (IdList{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
    const auto t = first.TypeLoad(2);
    EXPECT_EQ(std::make_tuple(t->Name(), t->BackColor(), t->MinTime(), t->MaxTime(), t->IncTime()),
              std::make_tuple(std::string("Interview"), 0x00FF0000, 30, 120, 30));
    EXPECT_EQ(first.ResourceLoad(6)->Name(), "Interview #1" + std::string(12, ' '));
    EXPECT_EQ(first.CustomerLoad(9)->Name(), "Tom Ashby");
    // Each row's bars by start time: start, end, reference, customer, type.
    using Bar = std::tuple<int32_t, int32_t, std::string, int32_t, int32_t>;
    std::map<int32_t, std::vector<Bar>> rows;
    for (const auto& a : first.Appointments()) {
        rows[a.ResourceId()].emplace_back(a.StartDtTm(), a.EndDtTm(), a.Reference(), a.CustomerId(),
                                          a.TypeId());
    }
    for (auto& [resource, bars] : rows) {
        std::sort(bars.begin(), bars.end());
    }
    // clang-format off
    const std::map<int32_t, std::vector<Bar>> expected = {
        {4, {{At(540), At(660), "MTG 001", 7, 1}, {At(660), At(720), "MTG 003", 9, 3},
             {At(780), At(1020), "MTG 009", 7, 3}}},
        {5, {{At(540), At(660), "MTG 001", 7, 1}, {At(690), At(780), "MTG 009", 8, 3},
             {At(840), At(900), "MTG 004", 9, 2}}},
        {6, {{At(540), At(570), "MTG 002", 8, 2}, {At(600), At(690), "MTG 008", 9, 2},
             {At(720), At(780), "MTG 005", 7, 3}, {At(780), At(810), "MTG 006", 8, 2},
             {At(810), At(930), "MTG 007", 9, 3}}}};
    // clang-format on
    EXPECT_EQ(rows, expected);

    int32_t id = 5;
    first.ResourceSave(id, "Renamed room"); // moves to the end
    id = 12;
    first.AppointmentSave(id, 8, 6, 2, At(1000), At(1100), "Moved");
    first.AppointmentDelete(15);
    first.TypeDelete(3); // takes the Review appointments
    ASSERT_TRUE(first.Save().Ok());
    ClsGlobal second(ProgramFolders{dir.path()});
    EXPECT_FALSE(second.FirstRun());
    EXPECT_EQ(Dump(second.Resources()), Dump(first.Resources()));
    EXPECT_EQ(Dump(second.Customers()), Dump(first.Customers()));
    EXPECT_EQ(Dump(second.Types()), Dump(first.Types()));
    EXPECT_EQ(Dump(second.Appointments()), Dump(first.Appointments()));
    EXPECT_EQ(Ids(second.Resources()), (IdList{4, 6, 5}));
    int32_t clash = 0; // the overlap check sees the loaded bookings
    EXPECT_EQ(second.AppointmentSave(clash, 0, 6, 0, At(1050), At(1060), ""), -1);
    EXPECT_EQ(second.NextId(), 21);
    EXPECT_EQ(first.NextId(), 21);
}

} // namespace
