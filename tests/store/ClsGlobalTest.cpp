#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "datetime/Clock.h"
#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "store/ModError.h"
#include "store/RecordFile.h"
#include "store/SampleData.h"
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
        r->Save(file);
    }
    return file.Bytes();
}
template <class T> IdList Ids(const Collection<T>& c) {
    IdList ids;
    for (const auto& r : c) {
        ids.push_back(r->Id());
    }
    return ids;
}

class ClsGlobalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ModError::SetProgramFolder(dir.path());
        Clock::SetFixed(Clock::LocalTime{2026, 12, 5, 8, 0, 0});
    }
    void TearDown() override {
        Clock::SetFixed(std::nullopt);
        // Nothing these cases do is a failure.
        std::ifstream log(dir.file("Tidemar.err"));
        EXPECT_FALSE(log.good()) << std::string(std::istreambuf_iterator<char>(log), {});
    }
    Bytes Read(const std::string& name) const {
        std::ifstream in(dir.file("Data/" + name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    TempDir dir;
};

TEST_F(ClsGlobalTest, NewStoreFilesAndGlobalRecord) {
    const char* recordFiles[] = {"Resource.bin", "Customer.bin", "Type.bin", "Appointment.bin"};
    {
        ClsGlobal store(dir.path());
        int32_t id = 0;
        store.CustomerSave(id, "never written"); // releasing the store writes nothing
    }
    for (const char* name : recordFiles) {
        EXPECT_TRUE(fs::is_regular_file(dir.file("Data/") + name)) << name;
        EXPECT_EQ(fs::file_size(dir.file("Data/") + name), 0u) << name;
    }
    EXPECT_FALSE(fs::exists(dir.file("Data/Global.bin")));

    ClsGlobal store(dir.path());
    EXPECT_TRUE(store.FirstRun());
    EXPECT_EQ(store.NextId(), 1);
    EXPECT_EQ(store.NextId(), 2);
    EXPECT_EQ(store.NextId(), 3);
    EXPECT_TRUE(store.Save().Ok());
    // Counter, 12 reserved zeros, settings, 204 reserved zeros, options, then spaces.
    Bytes golden(710, ' ');
    std::fill(golden.begin(), golden.begin() + 436, 0);
    golden[0] = 3;
    const uint32_t colors[5] = {0x00FFFFFF, 0x00FFFF00, 0x00C0FFC0, 0x00C0FFFF, 0x00C0C0FF};
    for (size_t i = 0; i < 50 * 4; ++i) {
        golden[28 + i] = static_cast<uint8_t>((i < 20 ? colors[i / 4] : 0xFFFFFF) >> (i % 4 * 8));
    }
    std::fill(golden.begin() + 436, golden.begin() + 441, 'X');
    EXPECT_EQ(Read("Global.bin"), golden);
    for (const char* name : recordFiles) {
        EXPECT_TRUE(Read(name).empty()) << name;
    }
}

TEST_F(ClsGlobalTest, SaveAllocatesReplacesAndLooksUp) {
    ClsGlobal store(dir.path());
    int32_t a = 0, b = 0, c = 0;
    EXPECT_EQ(store.CustomerSave(a, "Ann"), 1);
    EXPECT_EQ(store.CustomerSave(b, "Bob"), 2);
    EXPECT_EQ(store.CustomerSave(c, "Cy"), 3);
    EXPECT_EQ(a, 1);
    const auto before = store.CustomerLoad(1);
    EXPECT_EQ(store.CustomerSave(a, "Ann Two"), 1);
    EXPECT_EQ(Ids(store.Customers()), (IdList{2, 3, 1}));
    EXPECT_EQ(store.Customers().Item("1c")->Name(), "Ann Two");
    EXPECT_EQ(before->Name(), "Ann"); // a caller's record does not change under it
    EXPECT_EQ(store.CustomerLoad(2), store.CustomerLoad(2));

    // An unknown explicit id is stored as given and the counter moves past it.
    int32_t explicitId = 50, fresh = 0;
    EXPECT_EQ(store.ResourceSave(explicitId, "Room"), 50);
    EXPECT_EQ(store.TypeSave(fresh, "T", 1, 2, 0, 5, -3), 51);
    EXPECT_EQ(store.TypeLoad(51)->MinTime() + store.TypeLoad(51)->IncTime(), 2);

    EXPECT_EQ(store.TypeLoad(0)->Id(), 0);
    EXPECT_EQ(store.TypeLoad(0)->BackColor(), 255);
    EXPECT_EQ(store.AppointmentLoad(999)->Id(), 0);
    EXPECT_EQ(store.ResourceLoad(1)->Id(), 0); // ids of another kind are not found
    EXPECT_EQ(store.Types().Count(), 1u);
}

struct OverlapRow {
    const char* label;
    int32_t id, resource, start, end;
    bool collides;
};
void PrintTo(const OverlapRow& r, std::ostream* os) {
    *os << r.label;
}
class OverlapTest : public ClsGlobalTest, public ::testing::WithParamInterface<OverlapRow> {};

// Resource 1 holds 09:00-11:00 (id 1); resource 2 holds a zero-length 10:00 (id 2).
TEST_P(OverlapTest, CandidateAgainstStoredAppointments) {
    ClsGlobal store(dir.path());
    int32_t first = 0, second = 0;
    ASSERT_EQ(store.AppointmentSave(first, 0, 1, 0, At(540), At(660), "A"), 1);
    ASSERT_EQ(store.AppointmentSave(second, 0, 2, 0, At(600), At(600), "Z"), 2);
    const OverlapRow& r = GetParam();
    EXPECT_EQ(store.CheckForOverlap(r.id, r.resource, r.start, r.end), r.collides);
    int32_t id = r.id;
    const int32_t result = store.AppointmentSave(id, 5, r.resource, 0, r.start, r.end, "new");
    if (r.collides) {
        EXPECT_EQ(result, -1);
        EXPECT_EQ(Ids(store.Appointments()), (IdList{1, 2}));
        EXPECT_EQ(store.AppointmentLoad(1)->EndDtTm(), At(660));
    } else {
        EXPECT_EQ(result, r.id != 0 ? r.id : 3);
        EXPECT_EQ(store.AppointmentLoad(result)->CustomerId(), 5);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Edges, OverlapTest,
    ::testing::Values(OverlapRow{"same time", 0, 1, At(540), At(660), true},
                      OverlapRow{"ends inside", 0, 1, At(480), At(570), true},
                      OverlapRow{"starts inside", 0, 1, At(630), At(720), true},
                      OverlapRow{"covers", 0, 1, At(480), At(720), true},
                      OverlapRow{"inside", 0, 1, At(570), At(600), true},
                      OverlapRow{"touches end", 0, 1, At(660), At(720), false},
                      OverlapRow{"touches start", 0, 1, At(480), At(540), false},
                      OverlapRow{"other resource", 0, 3, At(540), At(660), false},
                      OverlapRow{"itself re-saved longer", 1, 1, At(540), At(690), false},
                      OverlapRow{"other id re-saved", 7, 1, At(600), At(690), true},
                      OverlapRow{"day before to day after", 0, 1, At(600, kDay - 1),
                                 At(600, kDay + 1), true},
                      OverlapRow{"day before", 0, 1, At(540, kDay - 1), At(660, kDay - 1), false},
                      OverlapRow{"day after", 0, 1, At(540, kDay + 1), At(660, kDay + 1), false},
                      OverlapRow{"reversed inside", 0, 1, At(600), At(570), true},
                      OverlapRow{"reversed around", 0, 1, At(700), At(500), false},
                      OverlapRow{"zero-length: ends on it", 0, 2, At(590), At(600), true},
                      OverlapRow{"zero-length: covers it", 0, 2, At(590), At(610), true},
                      OverlapRow{"zero-length: starts on it", 0, 2, At(600), At(610), false},
                      OverlapRow{"zero-length: before it", 0, 2, At(580), At(590), false}),
    [](const auto& row) {
        std::string name = row.param.label;
        std::replace_if(
            name.begin(), name.end(), [](char ch) { return !std::isalnum(ch); }, '_');
        return name;
    });

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
        ClsGlobal store(own.path());
        for (int i = 0; i < 6; ++i) { // ids 1-6 in turn: resources, customers, types
            int32_t id = 0;
            if (i < 2) {
                store.ResourceSave(id, "R");
            } else if (i < 4) {
                store.CustomerSave(id, "C");
            } else {
                store.TypeSave(id, "T", 1, 2, 15, 0, 15);
            }
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

TEST_F(ClsGlobalTest, SettingsAccessors) {
    ClsGlobal store(dir.path());
    const std::pair<int, int32_t> colors[] = {{-1, 0},         {0, 0x00FFFFFF},  {3, 0x00C0FFFF},
                                              {4, 0x00C0C0FF}, {49, 0x00FFFFFF}, {50, 0},
                                              {51, 0}};
    for (auto [index, value] : colors) {
        EXPECT_EQ(store.Color(index), value) << index;
    }
    for (int i = 0; i <= 101; ++i) {
        EXPECT_EQ(store.Option(i), i >= 1 && i <= 5) << i;
    }
    store.SetColor(51, 5);
    store.SetColor(-1, 5);
    store.SetColor(50, 7);
    store.SetOption(101, true);
    store.SetOption(0, true);
    store.SetOption(100, true);
    store.SetOption(1, false);
    EXPECT_EQ(std::make_tuple(store.Color(51), store.Color(-1), store.Color(50), store.Color(49)),
              std::make_tuple(0, 0, 7, 0x00FFFFFF));
    EXPECT_FALSE(store.Option(101) || store.Option(0) || store.Option(1));
    EXPECT_TRUE(store.Option(100) && store.Option(2));
    EXPECT_EQ(store.DateFormat(), 0);
    store.SetDateFormat(-7);
    EXPECT_EQ(store.DateFormat(), -7);
    EXPECT_EQ(store.ResourceType(), "");
    store.SetResourceType("ABCDEFGHIJKLMNOPQRSTUVWXYZ!");
    EXPECT_EQ(store.ResourceType(), "ABCDEFGHIJKLMNOPQRSTUVWX");
    store.SetResourceType("  Rooms ");
    EXPECT_EQ(store.ResourceType(), "Rooms");
}

TEST_F(ClsGlobalTest, FullStoreRoundTrip) {
    ClsGlobal first(dir.path());
    CreateSampleData(first, ClsDate());
    int32_t id = 5;
    first.ResourceSave(id, "Renamed room"); // moves to the end
    id = 12;
    first.AppointmentSave(id, 8, 6, 2, At(1000), At(1100), "Moved");
    first.AppointmentDelete(15);
    first.TypeDelete(3); // takes the Review appointments
    first.SetColor(4, 0x123456);
    first.SetOption(7, true);
    first.SetOption(1, false);
    first.SetDateFormat(1);
    first.SetResourceType("Desks");
    first.SetPrintOrientation(1);
    first.SetPreviewViewType(-2);
    first.SetPrintPageSize(32767);
    first.SetPreviewZoom(-32768);
    ASSERT_TRUE(first.Save().Ok());
    EXPECT_EQ(Read("Appointment.bin").size(), 36 * first.Appointments().Count());

    ClsGlobal second(dir.path());
    EXPECT_FALSE(second.FirstRun());
    EXPECT_EQ(Dump(second.Resources()), Dump(first.Resources()));
    EXPECT_EQ(Dump(second.Customers()), Dump(first.Customers()));
    EXPECT_EQ(Dump(second.Types()), Dump(first.Types()));
    EXPECT_EQ(Dump(second.Appointments()), Dump(first.Appointments()));
    EXPECT_EQ(Ids(second.Resources()), (IdList{4, 6, 5}));
    for (int i = -1; i <= 101; ++i) {
        EXPECT_EQ(second.Color(i), first.Color(i)) << i;
        EXPECT_EQ(second.Option(i), first.Option(i)) << i;
    }
    EXPECT_EQ(second.DateFormat(), 1);
    EXPECT_EQ(second.ResourceType(), "Desks");
    EXPECT_EQ(std::make_tuple(second.PrintOrientation(), second.PreviewViewType(),
                              second.PrintPageSize(), second.PreviewZoom()),
              std::make_tuple(int16_t{1}, int16_t{-2}, int16_t{32767}, int16_t{-32768}));
    int32_t clash = 0; // the overlap check sees the loaded bookings
    EXPECT_EQ(second.AppointmentSave(clash, 0, 6, 0, At(1050), At(1060), ""), -1);
    EXPECT_EQ(second.NextId(), 21);
    EXPECT_EQ(first.NextId(), 21);
}

TEST_F(ClsGlobalTest, FirstRunSampleData) {
    {
        ClsGlobal store(dir.path());
        ASSERT_TRUE(store.FirstRun());
        CreateSampleData(store, ClsDate());
        EXPECT_EQ(store.ResourceType(), "Rooms");
        EXPECT_EQ(Ids(store.Types()), (IdList{1, 2, 3}));
        EXPECT_EQ(Ids(store.Resources()), (IdList{4, 5, 6}));
        EXPECT_EQ(Ids(store.Customers()), (IdList{7, 8, 9}));
        EXPECT_EQ(Ids(store.Appointments()), (IdList{10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}));
        const auto t = store.TypeLoad(2);
        EXPECT_EQ(
            std::make_tuple(t->Name(), t->BackColor(), t->MinTime(), t->MaxTime(), t->IncTime()),
            std::make_tuple(std::string("Interview"), 0x00FF0000, 30, 120, 30));
        EXPECT_EQ(store.ResourceLoad(6)->Name(), "Interview #1" + std::string(12, ' '));
        EXPECT_EQ(store.CustomerLoad(9)->Name(), "Tom Ashby");
        ASSERT_TRUE(store.Save().Ok());
    }
    ClsGlobal store(dir.path());
    EXPECT_FALSE(store.FirstRun());
    EXPECT_EQ(store.Appointments().Count(), 11u);
    // Each row's bars by start time: start, end, reference, customer, type.
    using Bar = std::tuple<int32_t, int32_t, std::string, int32_t, int32_t>;
    std::map<int32_t, std::vector<Bar>> rows;
    for (const auto& a : store.Appointments()) {
        rows[a->ResourceId()].emplace_back(a->StartDtTm(), a->EndDtTm(), a->Reference(),
                                           a->CustomerId(), a->TypeId());
    }
    for (auto& [resource, bars] : rows) {
        std::sort(bars.begin(), bars.end());
    }
    const std::map<int32_t, std::vector<Bar>> expected = {{4,
                                                           {{At(540), At(660), "MTG 001", 7, 1},
                                                            {At(660), At(720), "MTG 003", 9, 3},
                                                            {At(780), At(1020), "MTG 009", 7, 3}}},
                                                          {5,
                                                           {{At(540), At(660), "MTG 001", 7, 1},
                                                            {At(690), At(780), "MTG 009", 8, 3},
                                                            {At(840), At(900), "MTG 004", 9, 2}}},
                                                          {6,
                                                           {{At(540), At(570), "MTG 002", 8, 2},
                                                            {At(600), At(690), "MTG 008", 9, 2},
                                                            {At(720), At(780), "MTG 005", 7, 3},
                                                            {At(780), At(810), "MTG 006", 8, 2},
                                                            {At(810), At(930), "MTG 007", 9, 3}}}};
    EXPECT_EQ(rows, expected);
}

} // namespace
