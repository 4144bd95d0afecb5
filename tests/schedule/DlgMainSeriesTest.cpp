// A date of a series deleted, dragged, nudged, cut or edited from the main window: how far
// the change goes, as the user answers, as one step that undo takes back whole.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgSeriesScope.h"
#include "store/SeriesPlan.h"
#include "support/MainWindowFixture.h"
#include "ui/EditHistory.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MaskedDateField.h"
#include "widgets/MaskedTimeField.h"

namespace {

using Answer = IWindowing::Answer;

// The week from Wednesday 2 June 2021, rows Room and Studio, a half-hour type. Ann has a
// series of four dates in the Room, Wednesday to Saturday 10:00 to 11:00; Bob an ordinary
// booking in the Studio on Wednesday at 12:00.
class DlgMainSeriesTest : public MainWindowFixture {
public:
    void SetUp() override {
        UsedBefore();
        MainWindowFixture::SetUp();
        int32_t start = today;
        window->SetScheduleDates(start);
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
        Settle();
        told = changes().Subscribe([this](const ChangeSet& set) { named.push_back(set.what); });
    }
    // What undo is to go back to.
    void Settle() {
        window->ShowResources();
        initial = Bookings();
        steps = window->History().Stack().count();
    }

    int32_t At(int day, int minute) const { return date.JoinDateTime(today + day, minute); }
    int32_t Book(int32_t customer, int32_t resource, int day, int start, int end) {
        int32_t id = 0;
        return changes().AppointmentSave(id, customer, resource, type, At(day, start), At(day, end),
                                         "");
    }
    // Every booking as "Room Thu 10:00-11:00 Ann S": S in the series, - in none.
    std::vector<std::string> Bookings() {
        std::vector<std::string> all;
        const char* days[] = {"Tue", "Wed", "Thu", "Fri", "Sat", "Sun", "Mon"};
        for (const ClsAppointment& a : store().Appointments()) {
            const int day = date.SplitDateVal(a.StartDtTm()) - today + 1;
            const auto time = [&](int32_t dtTm) {
                return ClsDate::TimeText(date.SplitTimeVal(dtTm), true);
            };
            const int32_t link = store().SeriesOf(a.Id());
            all.push_back(std::string(a.ResourceId() == room ? "Room " : "Studio ") +
                          (day >= 0 && day < 7 ? days[day] : "?") + " " + time(a.StartDtTm()) +
                          "-" + time(a.EndDtTm()) + (a.CustomerId() == ann ? " Ann" : " Bob") +
                          (link == series ? " S"
                           : link == 0    ? " -"
                                          : " X") +
                          (a.Reference() == "R" ? " R" : ""));
        }
        std::sort(all.begin(), all.end());
        return all;
    }
    // Drags the booking's bar to the row, its start `shift` minutes later.
    void Drag(int32_t id, int toRow, int shift, bool copy = false) {
        const ScheduleGrid::Hit at = BarOf(id);
        const int64_t start = ClsDate().MinutesBetween(0, store().AppointmentLoad(id)->StartDtTm());
        window->Sched_BarDropped({at.row, at.bar, toRow, start + shift, start + shift + 60,
                                  IBarPlacer::Edge::Whole, copy});
    }
    // Drags the booking's end `minutes` later.
    void Stretch(int32_t id, int minutes) {
        const ScheduleGrid::Hit at = BarOf(id);
        const auto a = store().AppointmentLoad(id);
        const int64_t start = ClsDate().MinutesBetween(0, a->StartDtTm());
        const int64_t end = ClsDate().MinutesBetween(0, a->EndDtTm());
        window->Sched_BarDropped(
            {at.row, at.bar, at.row, start, end + minutes, IBarPlacer::Edge::End, false});
    }
    void Select(int32_t id) {
        const ScheduleGrid::Hit at = BarOf(id);
        window->Sched_BarLeftClick(at.row, at.bar);
    }
    // Edits the booking in the appointment dialog: Bob's, from `start` to `end` (minutes from
    // its day's midnight, the day before when negative), with the reference when given.
    void Edit(int32_t id, int start, int end, const char* reference = nullptr) {
        Select(id);
        ui.modalActions.push_front([=, this](QDialog* shown) {
            auto& d = static_cast<DlgAppointment&>(*shown);
            const int32_t day = d.DateStart()->Value();
            d.DateStart()->SetValue(day + (start < 0 ? -1 : 0));
            d.TimeStart()->SetValue((start + 1440) % 1440);
            d.DateEnd()->SetValue(day + (end < 0 ? -1 : 0));
            d.TimeEnd()->SetValue((end + 1440) % 1440);
            d.CbCustomer()->SelectId(bob);
            if (reference != nullptr) {
                d.TxtRef()->setText(reference);
            }
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
    int questions = 0;
    StoreChanges::Subscription told;
};

enum class Op {
    Delete,
    Drag,
    DragToStudio,
    DragToStudioADayLater,
    Copy,
    Stretch,
    Nudge,
    Cut,
    Edit,
    EditEnd,
    EditReference,
    EditSameTimes,
    EditAcrossMidnight,
    SaveUnchanged
};

struct SeriesCase {
    const char* name;
    Op op;
    bool ordinary;      // on Bob's booking; else on Thursday's date
    const char* answer; // the question's: "cancel", "only", "only+out", "following", "all"
    int blockerDay;     // Bob has the Room from 11:30 to 12:00 on this day (0 Wednesday), or -1
    Answer go;          // the answer to whether the free dates move alone
    std::vector<std::string> bookings;
    std::vector<std::string> named; // the change made, by name
    QStringList messages;           // "title: text" of every message box
};

void PrintTo(const SeriesCase& c, std::ostream* os) {
    *os << c.name;
}

class SeriesOperations : public DlgMainSeriesTest,
                         public ::testing::WithParamInterface<SeriesCase> {
public:
    void Act(const SeriesCase& c) {
        const std::string answer = c.answer;
        if (!answer.empty()) {
            ui.modalActions.push_back([this, answer](QDialog* shown) {
                auto* d = qobject_cast<DlgSeriesScope*>(shown);
                EXPECT_NE(d, nullptr);
                ++questions;
                (answer.starts_with("only")        ? d->OptOnly()
                 : answer.starts_with("following") ? d->OptFollowing()
                                                   : d->OptAll())
                    ->click();
                if (answer.ends_with("+out")) {
                    d->ChkTakeOut()->click();
                }
                (answer == "cancel" ? d->CmdCancel() : d->CmdOk())->click();
                return d->result();
            });
        }
        ui.answers.push_back(c.go);
        if (c.blockerDay >= 0) {
            Book(bob, room, c.blockerDay, 690, 720);
            named.clear();
            Settle();
        }
        const int32_t id = c.ordinary ? ordinary : dates[1];
        const ScheduleGrid::Hit at = BarOf(id);
        switch (c.op) {
        case Op::Delete:
            window->Sched_BarKeyDelete(at.row, at.bar);
            break;
        case Op::Drag:
            Drag(id, at.row, 60);
            break;
        case Op::DragToStudio:
            Drag(id, 2, 0);
            break;
        case Op::DragToStudioADayLater:
            Drag(id, 2, 1440 + 120);
            break;
        case Op::Copy:
            Drag(id, 2, 0, true);
            break;
        case Op::Stretch:
            Stretch(id, 30);
            break;
        case Op::Nudge:
            Select(id), window->mnuApptLater_Click();
            break;
        case Op::Cut:
            Select(id), window->mnuEditCut_Click();
            break;
        case Op::Edit:
            Edit(id, 630, 720);
            break;
        case Op::EditEnd:
            Edit(id, 600, 720);
            break;
        case Op::EditReference:
            Edit(id, 600, 660, "R");
            break;
        case Op::EditSameTimes:
            Edit(id, 600, 660);
            break;
        case Op::EditAcrossMidnight:
            Edit(id, -30, 30);
            break;
        case Op::SaveUnchanged:
            Select(id);
            ui.modalActions.push_front([](QDialog* shown) {
                auto& d = static_cast<DlgAppointment&>(*shown);
                d.mnuFileSave_Click();
                return d.result();
            });
            window->mnuApptEdit_Click();
            break;
        }
    }
};

TEST_P(SeriesOperations, ChangeTheChosenDatesAsOneStepThatUndoTakesBack) {
    const SeriesCase& c = GetParam();
    Act(c);
    std::vector<std::string> expected = c.bookings;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Bookings(), expected);
    EXPECT_EQ(named, c.named);
    EXPECT_EQ(questions, std::string(c.answer).empty() ? 0 : 1);
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

// The series as made, Bob's bookings, and the question when dates are in the way.
const std::string kWed = "Room Wed 10:00-11:00 Ann S", kThu = "Room Thu 10:00-11:00 Ann S",
                  kFri = "Room Fri 10:00-11:00 Ann S", kSat = "Room Sat 10:00-11:00 Ann S",
                  kBob = "Studio Wed 12:00-13:00 Bob -", kFriBob = "Room Fri 11:30-12:00 Bob -";
const QString kMoveTwo = "appointments of a series: Move the 2 free dates and leave 1 as it is?";
constexpr Answer kNo = Answer::No, kYes = Answer::Yes;

// clang-format off
const SeriesCase kCases[] = {
    {"DeleteCancelled", Op::Delete, false, "cancel", -1, kNo, {kWed, kThu, kFri, kSat, kBob}, {}, {}},
    {"DeleteOnlyThis", Op::Delete, false, "only", -1, kNo, {kWed, kFri, kSat, kBob},
     {"Delete appointment"}, {}},
    {"DeleteFollowing", Op::Delete, false, "following", -1, kNo, {kWed, kBob},
     {"Delete 3 appointments of a series"}, {}},
    {"DeleteAll", Op::Delete, false, "all", -1, kNo, {kBob}, {"Delete 4 appointments of a series"}, {}},
    {"DeleteOrdinaryConfirmsAsBefore", Op::Delete, true, "", -1, kYes, {kWed, kThu, kFri, kSat},
     {"Delete appointment"},
     {"Confirm!: Confirm delete appointment Bob, 02 Jun 2021 12:00 to 13:00?"}},

    {"DragCancelled", Op::Drag, false, "cancel", -1, kNo, {kWed, kThu, kFri, kSat, kBob}, {}, {}},
    {"DragOnlyThis", Op::Drag, false, "only", -1, kNo,
     {kWed, "Room Thu 11:00-12:00 Ann S", kFri, kSat, kBob}, {"Move appointment"}, {}},
    {"DragOnlyThisTakenOut", Op::Drag, false, "only+out", -1, kNo,
     {kWed, "Room Thu 11:00-12:00 Ann -", kFri, kSat, kBob}, {"Move appointment"}, {}},
    // The box counts only with Only this date.
    {"DragFollowingIgnoresTheBox", Op::Drag, false, "following+out", -1, kNo,
     {kWed, "Room Thu 11:00-12:00 Ann S", "Room Fri 11:00-12:00 Ann S",
      "Room Sat 11:00-12:00 Ann S", kBob},
     {"Move 3 appointments of a series"}, {}},
    {"DragAllToAnotherRow", Op::DragToStudioADayLater, false, "all", -1, kNo,
     {"Studio Thu 12:00-13:00 Ann S", "Studio Fri 12:00-13:00 Ann S",
      "Studio Sat 12:00-13:00 Ann S", "Studio Sun 12:00-13:00 Ann S", kBob},
     {"Move 4 appointments of a series"}, {}},
    {"DragAllToAnotherRowAtTheSameTime", Op::DragToStudio, false, "all", -1, kNo,
     {"Studio Wed 10:00-11:00 Ann S", "Studio Thu 10:00-11:00 Ann S",
      "Studio Fri 10:00-11:00 Ann S", "Studio Sat 10:00-11:00 Ann S", kBob},
     {"Move 4 appointments of a series"}, {}},
    {"DragFollowingPastACollisionWhenTold", Op::Drag, false, "following", 2, kYes,
     {kWed, "Room Thu 11:00-12:00 Ann S", kFri, kFriBob, "Room Sat 11:00-12:00 Ann S", kBob},
     {"Move 2 appointments of a series"}, {"Move " + kMoveTwo}},
    {"DragFollowingDeclinedAtACollision", Op::Drag, false, "following", 2, kNo,
     {kWed, kThu, kFri, kFriBob, kSat, kBob}, {}, {"Move " + kMoveTwo}},
    {"CopyAsksNothingAndIsNoDateOfTheSeries", Op::Copy, false, "", -1, kNo,
     {kWed, kThu, kFri, kSat, kBob, "Studio Thu 10:00-11:00 Ann -"}, {"Copy appointment"}, {}},
    {"StretchOnlyThis", Op::Stretch, false, "only", -1, kNo,
     {kWed, "Room Thu 10:00-11:30 Ann S", kFri, kSat, kBob}, {"Resize appointment"}, {}},
    {"StretchFollowing", Op::Stretch, false, "following", -1, kNo,
     {kWed, "Room Thu 10:00-11:30 Ann S", "Room Fri 10:00-11:30 Ann S",
      "Room Sat 10:00-11:30 Ann S", kBob},
     {"Resize 3 appointments of a series"}, {}},
    {"KeyboardMoveAsksNothingAndKeepsTheLink", Op::Nudge, false, "", -1, kNo,
     {kWed, "Room Thu 10:30-11:30 Ann S", kFri, kSat, kBob}, {"Move appointment"}, {}},
    {"CutTakesOnlyThisDate", Op::Cut, false, "", -1, kNo, {kWed, kFri, kSat, kBob},
     {"Cut appointment"}, {}},

    // Edited in the appointment dialog to 10:30-12:00 for Bob; a save outside a series has
    // no name of its own.
    {"EditCancelled", Op::Edit, false, "cancel", -1, kNo, {kWed, kThu, kFri, kSat, kBob}, {}, {}},
    {"EditOnlyThis", Op::Edit, false, "only", -1, kNo,
     {kWed, "Room Thu 10:30-12:00 Bob S", kFri, kSat, kBob}, {""}, {}},
    {"EditOnlyThisTakenOut", Op::Edit, false, "only+out", -1, kNo,
     {kWed, "Room Thu 10:30-12:00 Bob -", kFri, kSat, kBob}, {""}, {}},
    {"EditOnlyTheEndTakenOut", Op::EditEnd, false, "only+out", -1, kNo,
     {kWed, "Room Thu 10:00-12:00 Bob -", kFri, kSat, kBob}, {""}, {}},
    {"EditReferenceOfAll", Op::EditReference, false, "all", -1, kNo,
     {"Room Wed 10:00-11:00 Bob S R", "Room Thu 10:00-11:00 Bob S R",
      "Room Fri 10:00-11:00 Bob S R", "Room Sat 10:00-11:00 Bob S R", kBob},
     {"Edit 4 appointments of a series"}, {}},
    // The box takes a date out only when its time changed.
    {"EditOnlyThisTakenOutAtTheSameTimes", Op::EditSameTimes, false, "only+out", -1, kNo,
     {kWed, "Room Thu 10:00-11:00 Bob S", kFri, kSat, kBob}, {""}, {}},
    {"EditFollowing", Op::Edit, false, "following", -1, kNo,
     {kWed, "Room Thu 10:30-12:00 Bob S", "Room Fri 10:30-12:00 Bob S",
      "Room Sat 10:30-12:00 Bob S", kBob},
     {"Edit 3 appointments of a series"}, {}},
    // Each date starts the day before and takes the new length.
    {"EditAllAcrossMidnight", Op::EditAcrossMidnight, false, "all", -1, kNo,
     {"Room Tue 23:30-00:30 Bob S", "Room Wed 23:30-00:30 Bob S", "Room Thu 23:30-00:30 Bob S",
      "Room Fri 23:30-00:30 Bob S", kBob},
     {"Edit 4 appointments of a series"}, {}},
    // Nothing changed: nothing for the other dates to follow.
    {"SaveUnchangedAsksNothing", Op::SaveUnchanged, false, "", -1, kNo,
     {kWed, kThu, kFri, kSat, kBob}, {""}, {}},
    {"EditOrdinaryAsksNothing", Op::Edit, true, "", -1, kNo,
     {kWed, kThu, kFri, kSat, "Studio Wed 10:30-12:00 Bob -"}, {""}, {}},
};
// clang-format on

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };
INSTANTIATE_TEST_SUITE_P(Table, SeriesOperations, ::testing::ValuesIn(kCases), kCaseName);

// A series left with one date is an ordinary booking again.
TEST_F(DlgMainSeriesTest, TheLastDateOfASeriesIsAskedNothingNew) {
    changes().AppointmentsDelete(std::vector<int32_t>{dates[1], dates[2], dates[3]});
    ui.answers.push_back(Answer::Yes);
    const ScheduleGrid::Hit at = BarOf(dates[0]);
    window->Sched_BarKeyDelete(at.row, at.bar);
    EXPECT_EQ(ui.log, QStringList{"MessageBox Confirm!"});
    EXPECT_EQ(Bookings(), std::vector<std::string>{kBob});
}

// What the question shows after a delete and after a drag of Thursday: the title, the
// question, the three choices, the take-out box (empty when hidden) and OK.
TEST_F(DlgMainSeriesTest, TheQuestionNamesTheBookingItsPlaceAndTheCounts) {
    QList<QStringList> shown;
    ui.modalActions.assign(2, [&](QDialog* dialog) {
        auto* d = qobject_cast<DlgSeriesScope*>(dialog);
        const bool box = !d->ChkTakeOut()->isHidden();
        shown << QStringList{d->windowTitle(),     d->LblQuestion()->text(),
                             d->OptOnly()->text(), d->OptFollowing()->text(),
                             d->OptAll()->text(),  box ? d->ChkTakeOut()->text() : QString(),
                             d->CmdOk()->text()};
        EXPECT_EQ(d->ChkTakeOut()->isEnabled(), true) << "with Only this date";
        d->OptAll()->click();
        EXPECT_EQ(d->ChkTakeOut()->isEnabled(), false) << "and only then";
        return int(QDialog::Rejected);
    });
    const ScheduleGrid::Hit at = BarOf(dates[1]);
    window->Sched_BarKeyDelete(at.row, at.bar);
    Drag(dates[1], at.row, 30);
    const QString thursday =
        "Ann, Half hours, Thu 03 Jun 2021 10:00 to 11:00 is date 2 of 4 of a series.\n";
    const QStringList choices{"&Only this date", "This and the &following dates (3)",
                              "&All dates of the series (4)"};
    EXPECT_EQ(shown, (QList<QStringList>{
                         QStringList{"Delete a date of a series",
                                     thursday + "Which dates should be deleted?"} +
                             choices + QStringList{"", "&Delete"},
                         QStringList{"Edit a date of a series",
                                     thursday + "Which dates should the change go to?"} +
                             choices + QStringList{"&Take this date out of the series", "OK"}}));
    EXPECT_EQ(Bookings(), initial);
}

// The dates that cannot move are listed under the question, each with what is in its way.
TEST_F(DlgMainSeriesTest, TheCollisionListNamesWhatIsInTheWay) {
    Book(bob, room, 2, 690, 720);
    Book(bob, room, 3, 660, 690);
    Settle();
    ui.modalActions.push_back([](QDialog* d) {
        qobject_cast<DlgSeriesScope*>(d)->OptAll()->click();
        return int(QDialog::Accepted);
    });
    Drag(dates[1], 1, 60);
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, "Move the 2 free dates and leave 2 as they are?");
    EXPECT_EQ(ui.messages[0].detail,
              "Fri 04 Jun 2021 11:00 to 12:00: collides with Bob, Half hours, Fri 04 Jun 2021 "
              "11:30 to 12:00\n"
              "Sat 05 Jun 2021 11:00 to 12:00: collides with Bob, Half hours, Sat 05 Jun 2021 "
              "11:00 to 11:30");
    EXPECT_EQ(Bookings(), initial) << "not told to move";
}

} // namespace
