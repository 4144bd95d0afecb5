// Every change goes through one interface that tells, per operation or batch, each record
// touched with its id, as it was before and as it is after.
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "store/StoreChanges.h"
#include "store/StoreTestFiles.h"

namespace {

// A change set in short: per record its kind and id, then "-" when it went, "+" when it came,
// "~" when it was replaced; then the flags.
std::string Describe(const ChangeSet& set) {
    std::string out;
    const auto records = [&](char kind, const auto& list) {
        for (const auto& c : list) {
            out += (out.empty() ? "" : " ") + std::string(1, kind) + std::to_string(c.id) +
                   (c.before && c.after ? "~"
                    : c.before          ? "-"
                                        : "+");
        }
    };
    records('R', set.resources);
    records('C', set.customers);
    records('T', set.types);
    records('A', set.appointments);
    out += set.settings ? " settings" : "";
    out += set.counter ? " counter" : "";
    out += set.what.empty() ? "" : " \"" + set.what + "\"";
    return out;
}

// Resources 1 and 2, customers 3 and 4, types 5 and 6, and the appointments
// 7 (1, 3, 5), 8 (2, 3, 6) and 9 (1, 4, 6); each set told afterwards is described in told.
class StoreChangesTest : public StoreTest {
public:
    void SetUp() override {
        StoreTest::SetUp();
        for (const char* name : {"R1", "R2"}) {
            Save(&StoreChanges::ResourceSave, name);
        }
        for (const char* name : {"Ann", "Bea"}) {
            Save(&StoreChanges::CustomerSave, name);
        }
        for (int i = 0; i < 2; ++i) {
            int32_t id = 0;
            changes.TypeSave(id, "T", 1, 2, 15, 0, 15);
        }
        for (const auto& [resource, customer, type] : {std::tuple{1, 3, 5}, {2, 3, 6}, {1, 4, 6}}) {
            Book(0, resource, customer, type, At(60 * customer));
        }
        subscription = changes.Subscribe([this](const ChangeSet& set) {
            told.push_back(Describe(set));
            sets.push_back(set);
        });
    }
    int32_t Save(int32_t (StoreChanges::*save)(int32_t&, std::string_view), const char* name,
                 int32_t id = 0) {
        return (changes.*save)(id, name);
    }
    int32_t Book(int32_t id, int32_t resource, int32_t customer, int32_t type, int32_t start) {
        return changes.AppointmentSave(id, customer, resource, type, start, start + 30, "REF");
    }

    ClsGlobal store{Folders()};
    StoreChanges changes{store};
    StoreChanges::Subscription subscription;
    std::vector<std::string> told;
    std::vector<ChangeSet> sets;
};

struct OperationCase {
    const char* name;
    std::function<void(StoreChangesTest&, StoreChanges&)> run;
    std::vector<std::string> told;
};
void PrintTo(const OperationCase& c, std::ostream* os) {
    *os << c.name;
}

class StoreChangesOperationTest : public StoreChangesTest,
                                  public ::testing::WithParamInterface<OperationCase> {};

TEST_P(StoreChangesOperationTest, TellsOneSetWithEachRecordTouched) {
    GetParam().run(*this, changes);
    EXPECT_EQ(told, GetParam().told);
}

using T = StoreChangesTest;
using S = StoreChanges;
INSTANTIATE_TEST_SUITE_P(
    Operations, StoreChangesOperationTest,
    ::testing::Values(
        OperationCase{"Rename", [](T& f, S&) { f.Save(&S::CustomerSave, "Ann B", 3); }, {"C3~"}},
        OperationCase{
            "NewRecord", [](T& f, S&) { f.Save(&S::ResourceSave, "R3"); }, {"R10+ counter"}},
        OperationCase{"ResourceDeleteTakesItsBookings",
                      [](T&, S& s) { s.ResourceDelete(1); },
                      {"R1- A7- A9-"}},
        OperationCase{"CustomerDeleteTakesItsBookings",
                      [](T&, S& s) { s.CustomerDelete(3); },
                      {"C3- A7- A8-"}},
        OperationCase{
            "TypeDeleteTakesItsBookings", [](T&, S& s) { s.TypeDelete(6); }, {"T6- A8- A9-"}},
        OperationCase{"Move", [](T& f, S&) { f.Book(9, 2, 4, 6, At(600)); }, {"A9~"}},
        OperationCase{"Delete", [](T&, S& s) { s.AppointmentDelete(8); }, {"A8-"}},
        OperationCase{"BulkDeleteInTheOrderGiven",
                      [](T&, S& s) {
                          s.AppointmentsDelete(IdList{9, 999, 7, 9});
                      },
                      {"A9- A7-"}},
        OperationCase{"Setting", [](T&, S& s) { s.SetPreviewZoom(150); }, {" settings"}},
        // Nothing changed, nothing told.
        OperationCase{"SameSetting", [](T&, S& s) { s.SetDateFormat(s.Store().DateFormat()); }, {}},
        OperationCase{"Collision", [](T& f, S&) { f.Book(0, 1, 3, 5, At(190)); }, {}},
        OperationCase{"DeleteOfNothing", [](T&, S& s) { s.CustomerDelete(999); }, {}},
        // A batch lists a record once, from before its first touch to after its last.
        OperationCase{"BatchRenameThenDelete",
                      [](T& f, S& s) {
                          s.Batch([&] {
                              f.Save(&S::CustomerSave, "Ann B", 3);
                              s.CustomerDelete(3);
                          });
                      },
                      {"C3- A7- A8-"}},
        OperationCase{
            "BatchAddedAndDeletedAgain",
            [](T& f, S& s) { s.Batch([&] { s.AppointmentDelete(f.Book(0, 2, 4, 5, At(900))); }); },
            {" counter"}},
        OperationCase{"BatchDeleteThenBookTheSlot",
                      [](T& f, S& s) {
                          s.Batch([&] {
                              s.AppointmentDelete(7);
                              f.Book(0, 1, 4, 5, At(180));
                              s.SetOption(3, !s.Store().Option(3));
                          });
                      },
                      {"A7- A10+ settings counter"}},
        // The outermost name is the step's; a batch that changed nothing leaves none behind.
        OperationCase{"NamedBatches",
                      [](T& f, S& s) {
                          s.Batch("Nothing", [] {});
                          s.Batch("Move appointment",
                                  [&] { s.Batch("Inner", [&] { f.Book(9, 2, 4, 6, At(600)); }); });
                          s.Batch([&] { s.Batch("Inner", [&] { s.AppointmentDelete(8); }); });
                          s.AppointmentDelete(7);
                      },
                      {"A9~ \"Move appointment\"", "A8- \"Inner\"", "A7-"}},
        OperationCase{"BatchSaveDeleteSaveAgain",
                      [](T& f, S& s) {
                          s.Batch([&] {
                              f.Book(8, 2, 3, 6, At(400));
                              s.AppointmentDelete(8);
                              f.Book(8, 2, 4, 6, At(500));
                          });
                      },
                      {"A8~"}},
        // Changes made on the store itself are told too, each step on its own.
        OperationCase{"StoreDirectly",
                      [](T& f, S&) {
                          int32_t id = 3;
                          f.store.CustomerSave(id, "Ann B");
                          f.store.AppointmentsDelete(IdList{7, 8});
                      },
                      {"C3-", "C3+", "A7-", "A8-"}}),
    [](const auto& row) { return std::string(row.param.name); });

// The records come as they were and as they are, whole.
TEST_F(StoreChangesTest, BeforeAndAfterAreTheWholeRecords) {
    changes.Batch([&] {
        Save(&StoreChanges::CustomerSave, "Ann B", 3);
        Save(&StoreChanges::CustomerSave, "Ann C", 3);
        Book(9, 2, 3, 5, At(700));
        changes.TypeDelete(5);
    });
    ASSERT_EQ(told, (std::vector<std::string>{"C3~ T5- A9- A7-"}));
    const ChangeSet& set = sets[0];
    EXPECT_EQ(set.customers[0].before->Name(), "Ann");
    EXPECT_EQ(set.customers[0].after->Name(), "Ann C");
    EXPECT_EQ(set.types[0].before->MinTime(), 15);
    const ClsAppointment& was = *set.appointments[0].before;
    EXPECT_EQ(std::tuple(was.ResourceId(), was.CustomerId(), was.TypeId(), was.StartDtTm()),
              std::tuple(1, 4, 6, At(240)))
        << "as before the batch moved it";
}

// A batch that fails part way still tells what it changed, then lets the failure out.
TEST_F(StoreChangesTest, AFailedBatchTellsWhatItChanged) {
    EXPECT_THROW(changes.Batch([&] {
        changes.ResourceDelete(2);
        throw std::runtime_error("stopped");
    }),
                 std::runtime_error);
    EXPECT_EQ(told, (std::vector<std::string>{"R2- A8-"}));
    changes.AppointmentDelete(7);
    EXPECT_EQ(told.back(), "A7-") << "the next operation is a set of its own";
}

// A listener's own change is told to every listener after the set in hand; one that throws
// keeps no one from being told, and its exception comes out of the operation.
TEST_F(StoreChangesTest, ListenersHearEverySetInOrder) {
    std::vector<std::string> second;
    bool once = true;
    auto follower = changes.Subscribe([&](const ChangeSet& set) {
        second.push_back(Describe(set));
        if (once) {
            once = false;
            changes.AppointmentDelete(8);
            throw std::runtime_error("listener failed");
        }
    });
    EXPECT_THROW(changes.AppointmentDelete(7), std::runtime_error);
    EXPECT_EQ(told, (std::vector<std::string>{"A7-", "A8-"}));
    EXPECT_EQ(second, told);

    follower.Reset();
    changes.AppointmentDelete(9);
    EXPECT_EQ(second.size(), 2u) << "a reset subscription hears nothing more";
    EXPECT_EQ(told.size(), 3u);
}

// One interface per store; a subscription may outlive it.
TEST_F(StoreChangesTest, OnePerStore) {
    EXPECT_THROW(StoreChanges{store}, std::logic_error);
    StoreChanges::Subscription kept;
    {
        ClsGlobal other(ProgramFolders{dir.path() + "/other"});
        StoreChanges otherChanges(other);
        kept = otherChanges.Subscribe([](const ChangeSet&) {});
    }
    kept.Reset();
    Save(&StoreChanges::CustomerSave, "Cy");
    EXPECT_EQ(told, (std::vector<std::string>{"C10+ counter"}));
}

} // namespace
