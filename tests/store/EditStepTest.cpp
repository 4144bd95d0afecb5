// Steps of the change interface taken back and done again: the store and its files come
// back byte for byte, and a step that would collide is refused with nothing changed.
#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "store/SeriesPlan.h"
#include "store/StoreChanges.h"
#include "store/StoreTestFiles.h"

namespace {

constexpr std::array<const char*, 6> kFiles = {"Resource.bin",    "Customer.bin", "Type.bin",
                                               "Appointment.bin", "Global.bin",   "Series.bin"};

// The store's contents in file order, with the id counter.
struct Snapshot {
    FileBytes resources, customers, types, appointments;
    std::vector<std::byte> series;
    int32_t counter = 0;
    bool operator==(const Snapshot&) const = default;
};

class EditStepTest : public StoreTest {
public:
    void SetUp() override {
        StoreTest::SetUp();
        subscription = changes.Subscribe([this](const ChangeSet& set) {
            toldRecords = set.Records();
            toldLinks = set.series.size();
            if (set.origin == ChangeSet::Origin::Change &&
                (set.Records() > 0 || !set.series.empty()) && !outside) {
                steps.emplace_back(set);
            }
        });
    }
    Snapshot Now() const {
        return {Dump(store.Resources()),    Dump(store.Customers()), Dump(store.Types()),
                Dump(store.Appointments()), store.Series().Bytes(),  store.IdCounter()};
    }
    // Each resource's bookings in the index are those of the collection, in its order.
    bool IndexInFileOrder() const {
        std::map<int32_t, IdList> expected;
        for (const ClsAppointment& a : store.Appointments()) {
            expected[a.ResourceId()].push_back(a.Id());
        }
        for (const auto& [resource, ids] : expected) {
            IdList indexed;
            for (const ResourceSlot& slot : store.AppointmentsOfResource(resource)) {
                indexed.push_back(slot.id);
            }
            if (indexed != ids) {
                return false;
            }
        }
        return true;
    }
    std::vector<FileBytes> SavedFiles() {
        EXPECT_TRUE(store.Save().Ok());
        std::vector<FileBytes> files;
        for (const char* name : kFiles) {
            files.push_back(ReadBytes(Data(name)));
            EXPECT_TRUE(fs::exists(Data(name))) << name;
        }
        return files;
    }
    int32_t Book(int32_t resource, int32_t customer, int32_t type, int32_t start,
                 int32_t length = 60, int32_t id = 0) {
        return changes.AppointmentSave(id, customer, resource, type, start, start + length, "R");
    }
    int32_t Name(int32_t (StoreChanges::*save)(int32_t&, std::string_view), std::string name,
                 int32_t id = 0) {
        return (changes.*save)(id, name);
    }

    // A change on the store itself, around the history.
    void Outside(const std::function<void(ClsGlobal&)>& change) {
        outside = true;
        change(store);
        outside = false;
    }

    ClsGlobal store{Folders()};
    StoreChanges changes{store};
    StoreChanges::Subscription subscription;
    std::vector<EditStep> steps;
    size_t toldRecords = 0; // in the last set told
    size_t toldLinks = 0;
    bool outside = false;
};

// Random work of every kind, then every step taken back one by one: each undo gives the
// store exactly as it stood before that step, and the files after all of them are the
// files of the start; redoing them all gives the files of the end. Saves in between, as
// the saver makes them, change nothing of that.
class UndoPropertyTest : public EditStepTest, public ::testing::WithParamInterface<unsigned> {};

TEST_P(UndoPropertyTest, UndoAllGivesTheStartAndRedoAllTheEnd) {
    std::mt19937 random(GetParam());
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto anyOf = [&](const auto& collection) {
        IdList ids = Ids(collection);
        return ids.empty() ? 0 : ids[static_cast<size_t>(pick(static_cast<int>(ids.size())))];
    };
    for (int i = 0; i < 4; ++i) {
        Name(&StoreChanges::ResourceSave, "Room " + std::to_string(i));
        Name(&StoreChanges::CustomerSave, "Customer " + std::to_string(i));
    }
    for (int i = 0; i < 3; ++i) {
        int32_t id = 0;
        changes.TypeSave(id, "Type", 0xFF, 0, 15, 240, 15);
    }
    const auto bookAnywhere = [&] {
        Book(anyOf(store.Resources()), anyOf(store.Customers()), anyOf(store.Types()),
             At(15 * pick(80), ClsDate::DayNumberFromCivil(2026, 12, 5) + pick(3)),
             15 * (1 + pick(8)));
    };
    for (int i = 0; i < 80; ++i) {
        bookAnywhere();
    }
    steps.clear();
    const std::vector<FileBytes> startFiles = SavedFiles();

    const std::vector<std::function<void()>> work = {
        bookAnywhere,
        [&] {
            if (const ClsAppointment* a = store.Appointments().Get(anyOf(store.Appointments()))) {
                Book(pick(4) == 0 ? anyOf(store.Resources()) : a->ResourceId(), a->CustomerId(),
                     a->TypeId(), a->StartDtTm() + 15 * (pick(9) - 4), 30, a->Id());
            }
        },
        [&] { changes.AppointmentDelete(anyOf(store.Appointments())); },
        [&] {
            IdList doomed;
            for (int32_t id : Ids(store.Appointments())) {
                if (pick(3) > 0) {
                    doomed.push_back(id);
                }
            }
            // Ids as the caller lists them, not in file order.
            if (pick(2) == 0) {
                std::reverse(doomed.begin(), doomed.end());
            }
            changes.AppointmentsDelete(doomed);
        },
        [&] { changes.ResourceDelete(anyOf(store.Resources())); },
        [&] { changes.CustomerDelete(anyOf(store.Customers())); },
        [&] { changes.TypeDelete(anyOf(store.Types())); },
        [&] { Name(&StoreChanges::ResourceSave, "New room"); },
        [&] { Name(&StoreChanges::CustomerSave, "Renamed", anyOf(store.Customers())); },
        [&] {
            int32_t id = 0;
            changes.TypeSave(id, "New type", 0xFF00, 0, 30, 0, 30);
        },
        [&] {
            changes.Batch("Several", [&] {
                bookAnywhere();
                changes.AppointmentDelete(anyOf(store.Appointments()));
                bookAnywhere();
            });
        },
        [&] { EXPECT_TRUE(store.Save().Ok()); },
        // A series of daily dates, and a series' dates from a random one on moved.
        [&] {
            const int32_t day = ClsDate::DayNumberFromCivil(2026, 12, 1) + pick(10);
            const int32_t minute = 15 * pick(80);
            std::vector<PlannedBooking> plan;
            for (int i = 0; i < 2 + pick(4); ++i) {
                plan.push_back({0, anyOf(store.Customers()), anyOf(store.Resources()),
                                anyOf(store.Types()), At(minute, day + i), At(minute + 30, day + i),
                                "S"});
            }
            SeriesPlan::Book(changes, plan, "Book series", SeriesPlan::kNewSeries);
        },
        [&] {
            const int32_t series = store.SeriesOf(anyOf(store.Appointments()));
            const std::vector<int32_t> members = store.SeriesMembers(series);
            std::vector<PlannedBooking> plan;
            for (size_t i = members.size() / 2; i < members.size(); ++i) {
                const ClsAppointment* a = store.Appointments().Get(members[i]);
                plan.push_back({a->Id(), a->CustomerId(), a->ResourceId(), a->TypeId(),
                                a->StartDtTm() + 60, a->EndDtTm() + 75, "M"});
            }
            SeriesPlan::Book(changes, plan, "Move series", series);
        },
        [&] { changes.SetSeries(anyOf(store.Appointments()), 0); },
    };
    std::vector<Snapshot> before;
    for (int i = 0; i < 90; ++i) {
        const size_t stepsBefore = steps.size();
        const Snapshot was = Now();
        work[static_cast<size_t>(pick(static_cast<int>(work.size())))]();
        if (steps.size() > stepsBefore) {
            before.push_back(was);
        }
    }
    ASSERT_EQ(before.size(), steps.size());
    ASSERT_GT(steps.size(), 30U);
    const Snapshot end = Now();
    const std::vector<FileBytes> endFiles = SavedFiles();

    for (size_t i = steps.size(); i-- > 0;) {
        ASSERT_EQ(changes.Undo(steps[i]), std::nullopt) << steps[i].What();
        ASSERT_EQ(Now(), before[i]) << "undo of step " << i << ", " << steps[i].What();
        // Listeners hear of every record and link it moved, as of the step itself.
        ASSERT_EQ(toldRecords, steps[i].Records()) << "undo of step " << i;
        ASSERT_EQ(toldLinks, steps[i].Series().size()) << "undo of step " << i;
        ASSERT_TRUE(IndexInFileOrder()) << "undo of step " << i << ", " << steps[i].What();
        if (i % 13 == 0) {
            EXPECT_TRUE(store.Save().Ok());
        }
    }
    EXPECT_EQ(SavedFiles(), startFiles);
    for (size_t i = 0; i < steps.size(); ++i) {
        ASSERT_EQ(changes.Redo(steps[i]), std::nullopt) << steps[i].What();
        if (i + 1 < steps.size()) {
            ASSERT_EQ(Now(), before[i + 1]) << "redo of step " << i << ", " << steps[i].What();
        }
    }
    EXPECT_EQ(Now(), end);
    EXPECT_EQ(SavedFiles(), endFiles);
    EXPECT_TRUE(IndexInFileOrder());
}

INSTANTIATE_TEST_SUITE_P(Seeds, UndoPropertyTest, ::testing::Range(1U, 6U));

// A booking made outside the history where an undo would put one back: the undo is refused
// with the booking in the way, and the store stays as it was.
struct RefusalCase {
    const char* name;
    bool undo;
    // Makes the step, then changes the store around the history.
    std::function<void(EditStepTest&)> setUp;
    StoreChanges::Refusal::Reason reason;
};
void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}
class EditStepRefusalTest : public EditStepTest, public ::testing::WithParamInterface<RefusalCase> {
public:
    void SetUp() override {
        EditStepTest::SetUp();
        Name(&StoreChanges::ResourceSave, "Room"); // 1
        Name(&StoreChanges::CustomerSave, "Ann");  // 2
        int32_t type = 0;
        changes.TypeSave(type, "T", 0, 0, 15, 0, 15); // 3
        Book(1, 2, 3, At(600));                       // 4
        Book(1, 2, 3, At(720));                       // 5
        steps.clear();
    }
};

TEST_P(EditStepRefusalTest, RefusesAndChangesNothing) {
    GetParam().setUp(*this);
    ASSERT_FALSE(steps.empty());
    const Snapshot was = Now();
    const auto refusal = GetParam().undo ? changes.Undo(steps.back()) : changes.Redo(steps.back());
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->reason, GetParam().reason);
    EXPECT_EQ(Now(), was);
}

using Reason = StoreChanges::Refusal::Reason;
INSTANTIATE_TEST_SUITE_P(
    Cases, EditStepRefusalTest,
    ::testing::Values(RefusalCase{"UndoneDeleteWouldCollide", true,
                                  [](EditStepTest& f) {
                                      f.changes.AppointmentDelete(4);
                                      f.Outside([](ClsGlobal& s) {
                                          int32_t id = 0;
                                          s.AppointmentSave(id, 2, 1, 3, At(630), At(660), "");
                                      });
                                  },
                                  Reason::Collides},
                      RefusalCase{"UndoneDeleteWouldEncloseOne", true,
                                  [](EditStepTest& f) {
                                      f.changes.AppointmentDelete(4);
                                      f.Outside([](ClsGlobal& s) {
                                          int32_t id = 0;
                                          s.AppointmentSave(id, 2, 1, 3, At(615), At(645), "");
                                      });
                                  },
                                  Reason::Collides},
                      RefusalCase{"UndoneDeleteOfAnInstantAtAnotherEnd", true,
                                  [](EditStepTest& f) {
                                      const int32_t instant = f.Book(1, 2, 3, At(900), 0);
                                      f.changes.AppointmentDelete(instant);
                                      f.Outside([](ClsGlobal& s) {
                                          int32_t id = 0;
                                          s.AppointmentSave(id, 2, 1, 3, At(840), At(900), "");
                                      });
                                  },
                                  Reason::Collides},
                      RefusalCase{"UndoneMoveWouldCollide", true,
                                  [](EditStepTest& f) {
                                      f.Book(1, 2, 3, At(900), 60, 4);
                                      f.Outside([](ClsGlobal& s) {
                                          int32_t id = 0;
                                          s.AppointmentSave(id, 2, 1, 3, At(600), At(615), "");
                                      });
                                  },
                                  Reason::Collides},
                      RefusalCase{"RedoneAddWouldCollide", false,
                                  [](EditStepTest& f) {
                                      f.Book(1, 2, 3, At(900));
                                      ASSERT_EQ(f.changes.Undo(f.steps.back()), std::nullopt);
                                      f.Outside([](ClsGlobal& s) {
                                          int32_t id = 999;
                                          s.AppointmentSave(id, 2, 1, 3, At(930), At(1000), "");
                                      });
                                  },
                                  Reason::Collides},
                      RefusalCase{"ChangedSinceTheStep", true,
                                  [](EditStepTest& f) {
                                      f.Name(&StoreChanges::CustomerSave, "Bea", 2);
                                      f.Outside([](ClsGlobal& s) {
                                          int32_t id = 2;
                                          s.CustomerSave(id, "Cid");
                                      });
                                  },
                                  Reason::Changed},
                      RefusalCase{"PutBackIsPresent", true,
                                  [](EditStepTest& f) {
                                      f.changes.AppointmentDelete(5);
                                      f.Outside([](ClsGlobal& s) {
                                          int32_t id = 5;
                                          s.AppointmentSave(id, 2, 1, 3, At(1200), At(1230), "");
                                      });
                                  },
                                  Reason::Present}),
    [](const auto& row) { return std::string(row.param.name); });

// A step is named after what it did unless its change was named.
TEST_F(EditStepTest, NamesWhatItDid) {
    Name(&StoreChanges::ResourceSave, "Room");
    Name(&StoreChanges::CustomerSave, "Ann");
    int32_t type = 0;
    changes.TypeSave(type, "T", 0, 0, 15, 0, 15);
    IdList many;
    for (int i = 0; i < 1200; ++i) {
        many.push_back(Book(1, 2, 3, At(0, 40000 + i)));
    }
    Book(1, 2, 3, At(600), 60, many[0]);
    changes.AppointmentDelete(many[1]);
    changes.AppointmentsDelete(IdList(many.begin() + 2, many.end()));
    changes.Batch("Move appointment", [&] { Book(1, 2, 3, At(700), 60, many[0]); });
    changes.SetSeries(many[0], many[0]);
    changes.CustomerDelete(2);
    changes.TypeDelete(3);
    std::vector<std::string> names;
    for (const EditStep& step : steps) {
        names.push_back(step.What());
    }
    names.erase(names.begin() + 4, names.begin() + 4 + 1199);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "Add resource", "Add customer", "Add appointment type", "Add appointment",
                         "Edit appointment", "Delete appointment", "Delete 1,198 appointments",
                         "Move appointment", "Change series", "Delete customer",
                         "Delete appointment type"}));
}

} // namespace
