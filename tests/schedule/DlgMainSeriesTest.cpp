// A date of a series deleted, dragged, nudged, cut or edited from the main window: how far
// the change goes, as the user answers, and that it is one step that undo takes back whole.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgSeriesScope.h"
#include "grid/ScheduleGrid.h"
#include "store/SeriesPlan.h"
#include "support/MainWindowFixture.h"
#include "ui/EditHistory.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MaskedTimeField.h"

namespace {

using Reach = SeriesScope::Reach;
using Answer = IWindowing::Answer;

// The week from Wednesday 2 June 2021, rows Room and Studio, a half-hour type. Ann has a
// series of four dates in the Room, Wednesday to Saturday 10:00 to 11:00; Bob an ordinary
// booking in the Studio on Wednesday at 12:00.
class DlgMainSeriesTest : public MainWindowFixture {
public:
    void SetUp() override {
        {
            ClsGlobal seen(ProgramFolders{dir.path()});
            seen.SetResourceType("Rooms");
            ASSERT_TRUE(seen.Save().Ok());
        }
        MainWindowFixture::SetUp();
        int32_t start = today;
        window->SetScheduleDates(start);
        window->resize(1000, 500);
        window->show();
        window->Form_Activate();
        room = AddResource("Room");
        studio = AddResource("Studio");
        ann = AddCustomer("Ann");
        bob = AddCustomer("Bob");
        type = changes().TypeSave(type, "Half hours", 0x0000FF, 0x00FFFF, 30, 0, 30);
        std::vector<PlannedBooking> plan;
        for (int day = 0; day < 4; ++day) {
            plan.push_back({0, ann, room, type, At(day, 600), At(day, 660), "S"});
        }
        dates = SeriesPlan::Book(changes(), plan, "Make a series", SeriesPlan::kNewSeries).ids;
        series = store().SeriesOf(dates[0]);
        ordinary = Book(bob, studio, 0, 720, 780);
        window->ShowResources();
        initial = Bookings();
        steps = window->History().Stack().count();
        told = changes().Subscribe([this](const ChangeSet& set) { named.push_back(set.what); });
    }

    int32_t At(int day, int minute) const { return date.JoinDateTime(today + day, minute); }
    int32_t Book(int32_t customer, int32_t resource, int day, int start, int end) {
        int32_t id = 0;
        return changes().AppointmentSave(id, customer, resource, type, At(day, start), At(day, end),
                                         "");
    }
    // Every booking as "Room Thu 10:00-11:00 Ann S": S in the series, - in none.
    std::vector<std::string> Bookings() const {
        std::vector<std::string> all;
        const char* days[] = {"Wed", "Thu", "Fri", "Sat", "Sun", "Mon", "Tue"};
        for (const ClsAppointment& a : window->Global().Appointments()) {
            const int day = date.SplitDateVal(a.StartDtTm()) - today;
            const auto time = [&](int32_t dtTm) {
                return ClsDate::TimeText(date.SplitTimeVal(dtTm), true);
            };
            const int32_t link = window->Global().SeriesOf(a.Id());
            all.push_back(std::string(a.ResourceId() == room ? "Room " : "Studio ") +
                          (day >= 0 && day < 7 ? days[day] : "?") + " " + time(a.StartDtTm()) +
                          "-" + time(a.EndDtTm()) + (a.CustomerId() == ann ? " Ann" : " Bob") +
                          (link == series ? " S"
                           : link == 0    ? " -"
                                          : " X"));
        }
        std::sort(all.begin(), all.end());
        return all;
    }
    // The bar of a booking on the grid.
    ScheduleGrid::Hit BarOf(int32_t id) {
        for (int row = 1; row <= grid().RowCount(); ++row) {
            for (int bar = 1; bar <= grid().BarCount(row); ++bar) {
                if (grid().BarData(row, bar) == id) {
                    return {row, bar};
                }
            }
        }
        ADD_FAILURE() << "no bar for " << id;
        return {};
    }
    // Drags the booking's bar to the row, its start `shift` minutes later.
    void Drag(int32_t id, int toRow, int shift, bool copy = false) {
        const ScheduleGrid::Hit at = BarOf(id);
        const auto a = store().AppointmentLoad(id);
        const int64_t start = int64_t{date.SplitDateVal(a->StartDtTm())} * 1440 +
                              date.SplitTimeVal(a->StartDtTm()) + shift;
        window->Sched_BarDropped(
            {at.row, at.bar, toRow, start, start + 60, IBarPlacer::Edge::Whole, copy});
    }
    void Select(int32_t id) {
        const ScheduleGrid::Hit at = BarOf(id);
        window->Sched_BarLeftClick(at.row, at.bar);
        grid().SetSelectedBar(at.row, at.bar);
    }
    void DeleteKey(int32_t id) {
        const ScheduleGrid::Hit at = BarOf(id);
        window->Sched_BarKeyDelete(at.row, at.bar);
    }
    // A booking made before the operation under test: undo goes back to it.
    void Also(int32_t customer, int day, int start, int end) {
        Book(customer, room, day, start, end);
        named.clear();
        steps = window->History().Stack().count();
        initial = Bookings();
    }
    // The next question answered: the reach chosen, the box ticked, then OK or Cancel.
    void Choose(Reach reach, bool takeOut = false, bool ok = true) {
        ui.modalActions.push_back([=, this](QDialog* shown) {
            auto* d = qobject_cast<DlgSeriesScope*>(shown);
            if (d == nullptr) {
                ADD_FAILURE() << "asked by " << shown->metaObject()->className();
                return int(QDialog::Rejected);
            }
            questions.push_back(d->LblQuestion()->text().section(u'\n', 0, 0).toStdString());
            (reach == Reach::All        ? d->OptAll()
             : reach == Reach::OnlyThis ? d->OptOnly()
                                        : d->OptFollowing())
                ->click();
            if (takeOut) {
                d->ChkTakeOut()->click();
            }
            (ok ? d->CmdOk() : d->CmdCancel())->click();
            return d->result();
        });
    }
    // Edits the booking in the appointment dialog: start and end moved to the times (Thursday
    // 10:30 to 12:00 unless given) and the customer Bob, then saved.
    void Edit(int32_t id, int start = 630, int end = 720) {
        Select(id);
        ui.modalActions.push_front([=, this](QDialog* shown) {
            auto& d = static_cast<DlgAppointment&>(*shown);
            d.TimeStart()->SetValue(start);
            d.TimeEnd()->SetValue(end);
            d.CbCustomer()->SelectId(bob);
            d.mnuFileSave_Click();
            return d.result();
        });
        window->mnuApptEdit_Click();
    }

    const int32_t today = Day(2021, 6, 2);
    int32_t room = 0, studio = 0, ann = 0, bob = 0, type = 0, series = 0, ordinary = 0;
    std::vector<int32_t> dates;
    std::vector<std::string> initial;
    int steps = 0;
    std::vector<std::string> named;
    std::vector<std::string> questions;
    StoreChanges::Subscription told;
};

struct SeriesCase {
    const char* name;
    std::function<void(DlgMainSeriesTest&)> act;
    std::vector<std::string> bookings; // every booking after
    std::vector<std::string> named;    // the steps made
    int questions;                     // how often the series was asked about
    QStringList messages;              // message boxes, "title: text"
};

template <class Case> void PrintName(const Case& c, std::ostream* os) {
    *os << c.name;
}
void PrintTo(const SeriesCase& c, std::ostream* os) {
    PrintName(c, os);
}

class SeriesOperations : public DlgMainSeriesTest,
                         public ::testing::WithParamInterface<SeriesCase> {};

TEST_P(SeriesOperations, ChangeTheChosenDatesAsOneStepThatUndoTakesBack) {
    const SeriesCase& c = GetParam();
    c.act(*this);
    std::vector<std::string> expected = c.bookings;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Bookings(), expected);
    EXPECT_EQ(named, c.named);
    EXPECT_EQ(static_cast<int>(questions.size()), c.questions);
    QStringList messages;
    for (const auto& m : ui.messages) {
        messages << m.title + ": " + m.text;
    }
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(window->History().Stack().count(), steps + static_cast<int>(c.named.size()));
    if (!c.named.empty()) {
        ASSERT_FALSE(window->History().Undo().has_value());
        EXPECT_EQ(Bookings(), initial) << "undo puts bookings and links back";
    }
}

// The series as made, with one date changed or taken away.
const std::string kWed = "Room Wed 10:00-11:00 Ann S", kThu = "Room Thu 10:00-11:00 Ann S",
                  kFri = "Room Fri 10:00-11:00 Ann S", kSat = "Room Sat 10:00-11:00 Ann S",
                  kBob = "Studio Wed 12:00-13:00 Bob -";
const QString kDeleteOrdinary =
    "Confirm!: Confirm delete appointment Bob, 02 Jun 2021 12:00 to 13:00?";

const SeriesCase kCases[] = {
    // Deleting with the Delete key on Thursday.
    {"DeleteCancelled",
     [](auto& t) {
         t.Choose(Reach::All, false, false);
         t.DeleteKey(t.dates[1]);
     },
     {kWed, kThu, kFri, kSat, kBob},
     {},
     1,
     {}},
    {"DeleteOnlyThis",
     [](auto& t) {
         t.Choose(Reach::OnlyThis);
         t.DeleteKey(t.dates[1]);
     },
     {kWed, kFri, kSat, kBob},
     {"Delete appointment"},
     1,
     {}},
    {"DeleteFollowing",
     [](auto& t) {
         t.Choose(Reach::ThisAndFollowing);
         t.DeleteKey(t.dates[1]);
     },
     {kWed, kBob},
     {"Delete 3 appointments of a series"},
     1,
     {}},
    {"DeleteAll",
     [](auto& t) {
         t.Choose(Reach::All);
         t.DeleteKey(t.dates[1]);
     },
     {kBob},
     {"Delete 4 appointments of a series"},
     1,
     {}},
    {"DeleteOrdinaryAsksAsBefore",
     [](auto& t) {
         t.ui.answers.push_back(Answer::Yes);
         t.DeleteKey(t.ordinary);
     },
     {kWed, kThu, kFri, kSat},
     {"Delete appointment"},
     0,
     {kDeleteOrdinary}},
    // A series left with one date is no series.
    // A series left with one date is no series.
    {"DeleteTheLastDateOfASeriesAsksAsBefore",
     [](auto& t) {
         t.changes().AppointmentsDelete(std::vector<int32_t>{t.dates[1], t.dates[2], t.dates[3]});
         t.Also(t.bob, 5, 600, 630);
         t.ui.answers.push_back(Answer::Yes);
         t.DeleteKey(t.dates[0]);
     },
     {"Room Mon 10:00-10:30 Bob -", kBob},
     {"Delete appointment"},
     0,
     {"Confirm!: Confirm delete appointment Ann, 02 Jun 2021 10:00 to 11:00?"}},

    // Dragging Thursday half an hour later, or to the Studio.
    {"MoveCancelled",
     [](auto& t) {
         t.Choose(Reach::All, false, false);
         t.Drag(t.dates[1], 1, 30);
     },
     {kWed, kThu, kFri, kSat, kBob},
     {},
     1,
     {}},
    {"MoveOnlyThis",
     [](auto& t) {
         t.Choose(Reach::OnlyThis);
         t.Drag(t.dates[1], 1, 30);
     },
     {kWed, "Room Thu 10:30-11:30 Ann S", kFri, kSat, kBob},
     {"Move appointment"},
     1,
     {}},
    {"MoveOnlyThisTakenOut",
     [](auto& t) {
         t.Choose(Reach::OnlyThis, true);
         t.Drag(t.dates[1], 1, 30);
     },
     {kWed, "Room Thu 10:30-11:30 Ann -", kFri, kSat, kBob},
     {"Move appointment"},
     1,
     {}},
    // The box counts only with Only this date.
    {"MoveFollowingIgnoresTheBox",
     [](auto& t) {
         t.Choose(Reach::ThisAndFollowing, true);
         t.Drag(t.dates[1], 1, 30);
     },
     {kWed, "Room Thu 10:30-11:30 Ann S", "Room Fri 10:30-11:30 Ann S",
      "Room Sat 10:30-11:30 Ann S", kBob},
     {"Move 3 appointments of a series"},
     1,
     {}},
    {"MoveAllToAnotherRow",
     [](auto& t) {
         t.Choose(Reach::All);
         t.Drag(t.dates[1], 2, 1440 + 120);
     },
     {"Studio Thu 12:00-13:00 Ann S", "Studio Fri 12:00-13:00 Ann S",
      "Studio Sat 12:00-13:00 Ann S", "Studio Sun 12:00-13:00 Ann S", kBob},
     {"Move 4 appointments of a series"},
     1,
     {}},
    {"MoveFollowingPastACollisionWhenTold",
     [](auto& t) {
         t.Also(t.bob, 2, 690, 720);
         t.Choose(Reach::ThisAndFollowing);
         t.ui.answers.push_back(Answer::Yes);
         t.Drag(t.dates[1], 1, 60);
     },
     {kWed, "Room Thu 11:00-12:00 Ann S", kFri, "Room Fri 11:30-12:00 Bob -",
      "Room Sat 11:00-12:00 Ann S", kBob},
     {"Move 2 appointments of a series"},
     1,
     {"Move appointments of a series: Move the 2 free dates and leave 1 as it is?"}},
    {"MoveFollowingDeclinedAtACollision",
     [](auto& t) {
         t.Also(t.bob, 2, 690, 720);
         t.Choose(Reach::ThisAndFollowing);
         t.ui.answers.push_back(Answer::No);
         t.Drag(t.dates[1], 1, 60);
     },
     {kWed, kThu, kFri, "Room Fri 11:30-12:00 Bob -", kSat, kBob},
     {},
     1,
     {"Move appointments of a series: Move the 2 free dates and leave 1 as it is?"}},
    {"CopyAsksNothingAndMakesAnOrdinaryBooking",
     [](auto& t) { t.Drag(t.dates[1], 2, 0, true); },
     {kWed, kThu, kFri, kSat, kBob, "Studio Thu 10:00-11:00 Ann -"},
     {"Copy appointment"},
     0,
     {}},
    {"KeyboardMoveAsksNothingAndKeepsTheLink",
     [](auto& t) {
         t.Select(t.dates[1]);
         t.window->mnuApptLater_Click();
     },
     {kWed, "Room Thu 10:30-11:30 Ann S", kFri, kSat, kBob},
     {"Move appointment"},
     0,
     {}},
    {"CutTakesOnlyThisDate",
     [](auto& t) {
         t.Select(t.dates[1]);
         t.window->mnuEditCut_Click();
     },
     {kWed, kFri, kSat, kBob},
     {"Cut appointment"},
     0,
     {}},

    // Edited in the appointment dialog: Thursday to 10:30-12:00, for Bob.
    {"EditCancelled",
     [](auto& t) {
         t.Choose(Reach::All, false, false);
         t.Edit(t.dates[1]);
     },
     {kWed, kThu, kFri, kSat, kBob},
     {},
     1,
     {}},
    {"EditOnlyThis",
     [](auto& t) {
         t.Choose(Reach::OnlyThis);
         t.Edit(t.dates[1]);
     },
     {kWed, "Room Thu 10:30-12:00 Bob S", kFri, kSat, kBob},
     {""},
     1,
     {}},
    {"EditOnlyThisTakenOut",
     [](auto& t) {
         t.Choose(Reach::OnlyThis, true);
         t.Edit(t.dates[1]);
     },
     {kWed, "Room Thu 10:30-12:00 Bob -", kFri, kSat, kBob},
     {""},
     1,
     {}},
    // The box takes a date out only when its time changed.
    {"EditOnlyThisTakenOutWithTheSameTimes",
     [](auto& t) {
         t.Choose(Reach::OnlyThis, true);
         t.Edit(t.dates[1], 600, 660);
     },
     {kWed, "Room Thu 10:00-11:00 Bob S", kFri, kSat, kBob},
     {""},
     1,
     {}},
    {"EditFollowing",
     [](auto& t) {
         t.Choose(Reach::ThisAndFollowing);
         t.Edit(t.dates[1]);
     },
     {kWed, "Room Thu 10:30-12:00 Bob S", "Room Fri 10:30-12:00 Bob S",
      "Room Sat 10:30-12:00 Bob S", kBob},
     {"Edit 3 appointments of a series"},
     1,
     {}},
    // Every date moves back to midnight and takes the new length.
    {"EditAllToMidnight",
     [](auto& t) {
         t.Choose(Reach::All);
         t.Edit(t.dates[1], 0, 30);
     },
     {"Room Wed 00:00-00:30 Bob S", "Room Thu 00:00-00:30 Bob S", "Room Fri 00:00-00:30 Bob S",
      "Room Sat 00:00-00:30 Bob S", kBob},
     {"Edit 4 appointments of a series"},
     1,
     {}},
    {"EditFollowingPastACollision",
     [](auto& t) {
         t.Also(t.ann, 3, 690, 720);
         t.Choose(Reach::ThisAndFollowing);
         t.ui.answers.push_back(Answer::Yes);
         t.Edit(t.dates[1]);
     },
     {kWed, "Room Thu 10:30-12:00 Bob S", "Room Fri 10:30-12:00 Bob S", kSat,
      "Room Sat 11:30-12:00 Ann -", kBob},
     {"Edit 2 appointments of a series"},
     1,
     {"Edit appointments of a series: Move the 2 free dates and leave 1 as it is?"}},
    {"EditOrdinaryAsksNothing",
     [](auto& t) { t.Edit(t.ordinary, 780, 840); },
     {kWed, kThu, kFri, kSat, "Studio Wed 13:00-14:00 Bob -"},
     {""},
     0,
     {}},
};

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(Table, SeriesOperations, ::testing::ValuesIn(kCases), kCaseName);

// What the question shows, as the user finds it after a delete or a drag of Thursday.
struct WordingCase {
    const char* name;
    bool deleting;
    QStringList shown; // title, question, the three choices, the box (empty when hidden), OK
};

void PrintTo(const WordingCase& c, std::ostream* os) {
    PrintName(c, os);
}

class Wording : public DlgMainSeriesTest, public ::testing::WithParamInterface<WordingCase> {};

TEST_P(Wording, NamesTheBookingItsPlaceAndTheCounts) {
    const WordingCase& c = GetParam();
    QStringList shown;
    bool takeOutEnabled[2] = {};
    ui.modalActions.push_back([&](QDialog* dialog) {
        auto* d = qobject_cast<DlgSeriesScope*>(dialog);
        EXPECT_NE(d, nullptr);
        if (d == nullptr) {
            return int(QDialog::Rejected);
        }
        shown << d->windowTitle() << d->LblQuestion()->text() << d->OptOnly()->text()
              << d->OptFollowing()->text() << d->OptAll()->text()
              << (d->ChkTakeOut()->isVisible() ? d->ChkTakeOut()->text() : QString())
              << d->CmdOk()->text();
        takeOutEnabled[0] = d->ChkTakeOut()->isVisible() && d->ChkTakeOut()->isEnabled();
        d->OptAll()->click();
        takeOutEnabled[1] = d->ChkTakeOut()->isVisible() && d->ChkTakeOut()->isEnabled();
        return int(QDialog::Rejected);
    });
    if (c.deleting) {
        DeleteKey(dates[1]);
    } else {
        Drag(dates[1], 1, 30);
    }
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(takeOutEnabled[0], !c.deleting) << "enabled with Only this date";
    EXPECT_FALSE(takeOutEnabled[1]) << "and only then";
    EXPECT_EQ(Bookings(), initial);
}

const QString kThursday = "Ann, Half hours, Thu 03 Jun 2021 10:00 to 11:00 is date 2 of 4 of a "
                          "series.\n";
const WordingCase kWordings[] = {
    {"Delete",
     true,
     {"Delete a date of a series", kThursday + "Which dates should be deleted?", "&Only this date",
      "This and the &following dates (3)", "&All dates of the series (4)", "", "&Delete"}},
    {"Move",
     false,
     {"Edit a date of a series", kThursday + "Which dates should the change go to?",
      "&Only this date", "This and the &following dates (3)", "&All dates of the series (4)",
      "&Take this date out of the series", "OK"}},
};
INSTANTIATE_TEST_SUITE_P(Table, Wording, ::testing::ValuesIn(kWordings), kCaseName);

// The dates that cannot move are listed under the question, each with the booking in its way.
TEST_F(DlgMainSeriesTest, TheCollisionListNamesWhatIsInTheWay) {
    Also(bob, 2, 690, 720);
    Also(bob, 3, 660, 690);
    Choose(Reach::All);
    Drag(dates[1], 1, 60);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].buttons, IWindowing::Buttons::YesNo);
    EXPECT_EQ(ui.messages[0].detail,
              "Fri 04 Jun 2021 11:00 to 12:00: collides with Bob, Half hours, Fri 04 Jun 2021 "
              "11:30 to 12:00\n"
              "Sat 05 Jun 2021 11:00 to 12:00: collides with Bob, Half hours, Sat 05 Jun 2021 "
              "11:00 to 11:30");
    EXPECT_EQ(ui.messages[0].text, "Move the 2 free dates and leave 2 as they are?");
    EXPECT_EQ(Bookings(), initial) << "not told to";
}

// Deleting a customer, type or resource, or many bookings at once, takes the links with the
// bookings, and undo brings both back.
struct CascadeCase {
    const char* name;
    std::function<void(DlgMainSeriesTest&)> act;
    size_t linksLeft;
};

void PrintTo(const CascadeCase& c, std::ostream* os) {
    PrintName(c, os);
}

class Cascades : public DlgMainSeriesTest, public ::testing::WithParamInterface<CascadeCase> {};

TEST_P(Cascades, KeepTheLinksTrue) {
    const CascadeCase& c = GetParam();
    c.act(*this);
    EXPECT_EQ(store().Series().Count(), c.linksLeft);
    for (int32_t id : store().Series().Linked()) {
        EXPECT_TRUE(store().Appointments().Exists(id)) << id;
    }
    ASSERT_FALSE(window->History().Undo().has_value());
    EXPECT_EQ(Bookings(), initial);
    EXPECT_EQ(store().SeriesMembers(series), dates);
}

const CascadeCase kCascades[] = {
    {"Customer", [](auto& t) { t.changes().CustomerDelete(t.ann); }, 0},
    {"Type", [](auto& t) { t.changes().TypeDelete(t.type); }, 0},
    {"Resource", [](auto& t) { t.changes().ResourceDelete(t.room); }, 0},
    {"Bulk",
     [](auto& t) {
         t.changes().AppointmentsDelete(std::vector<int32_t>{t.dates[0], t.dates[2], t.ordinary});
     },
     2},
};
INSTANTIATE_TEST_SUITE_P(Table, Cascades, ::testing::ValuesIn(kCascades), kCaseName);

} // namespace
