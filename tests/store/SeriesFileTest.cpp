// Series.bin: the links between the dates of a series, kept beside the five data files with
// their guarantees. Damage is repaired and told, a missing file leaves every booking alone,
// and the links survive a save and a load.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "store/SeriesLinks.h"
#include "store/StoreTestFiles.h"

namespace {

using Links = std::map<int32_t, int32_t>; // appointment to series

FileBytes LinkBytes(const std::vector<std::pair<int32_t, int32_t>>& links) {
    FileBytes b(links.size() * 8);
    for (size_t i = 0; i < links.size(); ++i) {
        Put(b, 8 * i, static_cast<uint32_t>(links[i].first));
        Put(b, 8 * i + 4, static_cast<uint32_t>(links[i].second));
    }
    return b;
}

Links LinksOf(const ClsGlobal& store) {
    Links links;
    for (int32_t id : store.Series().Linked()) {
        links[id] = store.SeriesOf(id);
    }
    return links;
}

class SeriesFileTest : public StoreTest {
protected:
    // A room, a customer and bookings 3 to 7 on disk.
    void SetUp() override {
        StoreTest::SetUp();
        ClsGlobal store(Folders());
        int32_t id = 0;
        store.ResourceSave(id, "Room");
        id = 0;
        store.CustomerSave(id, "Ann");
        for (int i = 0; i < 5; ++i) {
            id = 0;
            store.AppointmentSave(id, 2, 1, 0, At(600 + 60 * i), At(630 + 60 * i), "R");
        }
        ASSERT_TRUE(store.Save().Ok());
    }
};

// Links on disk: ordered by series, then appointment, two little-endian ids each; a load
// gives them back, and the counter never hands out a series' id again.
TEST_F(SeriesFileTest, RoundTripsInItsDocumentedLayout) {
    {
        ClsGlobal store(Folders());
        EXPECT_TRUE(store.SetSeries(6, 5));
        EXPECT_TRUE(store.SetSeries(5, 5));
        EXPECT_TRUE(store.SetSeries(4, 3));
        EXPECT_TRUE(store.SetSeries(3, 3));
        EXPECT_FALSE(store.SetSeries(99, 3)); // no such booking
        ASSERT_TRUE(store.Save().Ok());
    }
    EXPECT_EQ(ReadBytes(Data("Series.bin")), LinkBytes({{3, 3}, {4, 3}, {5, 5}, {6, 5}}));
    ClsGlobal store(Folders());
    EXPECT_TRUE(store.LoadProblems().empty());
    EXPECT_EQ(LinksOf(store), (Links{{3, 3}, {4, 3}, {5, 5}, {6, 5}}));
    EXPECT_EQ(store.SeriesMembers(5), (IdList{5, 6}));
    EXPECT_EQ(store.SeriesSize(3), 2u);
    EXPECT_FALSE(store.HasPendingChanges());

    // A link's series id above every record's id still raises the counter.
    WriteBytes(Data("Series.bin"), LinkBytes({{3, 900}, {4, 900}}));
    ClsGlobal high(Folders());
    EXPECT_GT(high.NextId(), 900);
}

// Members come ordered by their start, whatever their ids; an edit keeps a booking in its
// series and a delete takes it out, as does every cascade.
TEST_F(SeriesFileTest, MembersFollowTheirBookings) {
    ClsGlobal store(Folders());
    for (int32_t id : {3, 4, 5, 6}) {
        store.SetSeries(id, 3);
    }
    int32_t moved = 3;
    ASSERT_EQ(store.AppointmentSave(moved, 2, 1, 0, At(1200), At(1230), "R"), 3);
    EXPECT_EQ(store.SeriesMembers(3), (IdList{4, 5, 6, 3}));
    store.AppointmentDelete(5);
    EXPECT_EQ(store.SeriesMembers(3), (IdList{4, 6, 3}));
    store.AppointmentsDelete(IdList{4});
    EXPECT_EQ(store.SeriesOf(4), 0);
    store.CustomerDelete(2);
    EXPECT_TRUE(store.Series().Empty());
}

struct SeriesDamage {
    const char* name;
    FileBytes bytes;
    Links kept;
    const char* said; // in the problem told; empty when nothing is told
};
void PrintTo(const SeriesDamage& c, std::ostream* os) {
    *os << c.name;
}

FileBytes WithStray(FileBytes b, size_t n) {
    b.resize(b.size() + n, 0x5A);
    return b;
}

const SeriesDamage kDamage[] = {
    {"StrayBytes",
     WithStray(LinkBytes({{3, 3}, {4, 3}}), 5),
     {{3, 3}, {4, 3}},
     "ended in 5 stray bytes after the last whole link"},
    {"IdsOfZeroOrBelow",
     LinkBytes({{0, 3}, {3, 3}, {4, -3}, {5, 3}}),
     {{3, 3}, {5, 3}},
     "held 2 links with an id of 0 or below"},
    {"LinkedTwice",
     LinkBytes({{3, 3}, {4, 3}, {3, 7}}),
     {{3, 3}, {4, 3}},
     "linked 1 appointment a second time"},
    // What a save cut short between the bookings and their links leaves: no damage.
    {"LinksToBookingsGone", LinkBytes({{3, 3}, {40, 3}, {4, 3}}), {{3, 3}, {4, 3}}, ""},
    {"Empty", {}, {}, ""},
};

class SeriesDamageTest : public SeriesFileTest,
                         public ::testing::WithParamInterface<SeriesDamage> {};

TEST_P(SeriesDamageTest, KeepsWhatItCanAndWritesItBackClean) {
    const SeriesDamage& c = GetParam();
    WriteBytes(Data("Series.bin"), c.bytes);
    {
        ClsGlobal store(Folders());
        EXPECT_EQ(LinksOf(store), c.kept);
        if (*c.said == '\0') {
            EXPECT_TRUE(store.LoadProblems().empty());
        } else {
            ASSERT_EQ(store.LoadProblems().size(), 1u);
            const FileProblem& problem = store.LoadProblems().front();
            EXPECT_EQ(problem.kind, FileProblem::Kind::Repaired);
            EXPECT_EQ(problem.file, "Series.bin");
            EXPECT_NE(problem.what.find(c.said), std::string::npos) << problem.what;
            EXPECT_EQ(ReadBytes(problem.backup), c.bytes);
        }
        ASSERT_TRUE(store.Save().Ok());
    }
    std::vector<std::pair<int32_t, int32_t>> sorted(c.kept.begin(), c.kept.end());
    std::sort(sorted.begin(), sorted.end(), [](auto a, auto b) {
        return std::pair(a.second, a.first) < std::pair(b.second, b.first);
    });
    EXPECT_EQ(ReadBytes(Data("Series.bin")), LinkBytes(sorted));
    ClsGlobal again(Folders());
    EXPECT_TRUE(again.LoadProblems().empty());
    EXPECT_FALSE(again.HasPendingChanges());
}

INSTANTIATE_TEST_SUITE_P(Table, SeriesDamageTest, ::testing::ValuesIn(kDamage),
                         [](const auto& row) { return std::string(row.param.name); });

// Without the file every booking stands alone, and the file is made empty; a file that
// cannot be read, or bookings that could not be, leave the links alone on disk.
TEST_F(SeriesFileTest, MissingOrUnreadable) {
    fs::remove(Data("Series.bin"));
    {
        ClsGlobal store(Folders());
        EXPECT_TRUE(store.LoadProblems().empty());
        EXPECT_TRUE(store.Series().Empty());
        EXPECT_EQ(store.Appointments().Count(), 5u);
        EXPECT_TRUE(fs::exists(Data("Series.bin")));
    }
    fs::remove(Data("Series.bin"));
    fs::create_directory(Data("Series.bin"));
    {
        ClsGlobal store(Folders());
        ASSERT_EQ(store.LoadProblems().size(), 1u);
        EXPECT_EQ(store.LoadProblems().front().kind, FileProblem::Kind::Unreadable);
        EXPECT_EQ(store.Appointments().Count(), 5u);
        store.SetSeries(3, 3);
        store.SetSeries(4, 3);
        const SaveResult saved = store.Save();
        EXPECT_TRUE(saved.Ok());
        EXPECT_TRUE(fs::is_directory(Data("Series.bin")));
    }
    fs::remove(Data("Series.bin"));
    WriteBytes(Data("Series.bin"), LinkBytes({{3, 3}, {4, 3}}));
    const FileBytes links = ReadBytes(Data("Series.bin"));
    fs::remove(Data("Appointment.bin"));
    fs::create_directory(Data("Appointment.bin"));
    {
        ClsGlobal store(Folders());
        EXPECT_TRUE(store.Series().Empty());
        int32_t id = 0;
        store.CustomerSave(id, "Bea");
        EXPECT_TRUE(store.Save().Ok());
    }
    EXPECT_EQ(ReadBytes(Data("Series.bin")), links);
}

} // namespace
