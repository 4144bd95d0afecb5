#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgRepeat.h"
#include "store/EditStep.h"
#include "store/SeriesPlan.h"
#include "store/StoreChanges.h"
#include "tests/dialogs/DialogFixture.h"
#include "widgets/MaskedDateField.h"
#include "widgets/MultiColumnList.h"

namespace {

using Repeats = DlgRepeat::Repeats;
constexpr int kMon = 0, kThu = 3;

// Ann's massage in Room 1; a type "Long" without limits for bookings of more than a day.
class DlgRepeatTest : public DialogFixture {
public:
    void SetUp() override {
        DialogFixture::SetUp();
        room = AddResource("Room 1");
        ann = AddCustomer("Ann");
        massage = AddType("Massage", 30, 120, 15);
        longType = AddType("Long", 0, 0, 0);
        dialog = std::make_unique<DlgRepeat>(services(), window.get());
        subscription = changes().Subscribe([this](const ChangeSet& set) { sets.push_back(set); });
    }
    void TearDown() override {
        subscription.Reset();
        dialog.reset();
        DialogFixture::TearDown();
    }
    // A booking of Ann's from the first day and minute to the end day and minute.
    PlannedBooking First(int32_t day, int startMinute, int32_t endDay, int endMinute,
                         int32_t type = 0) const {
        PlannedBooking b;
        b.customerId = ann;
        b.resourceId = room;
        b.typeId = type != 0 ? type : massage;
        b.startDtTm = At(day, startMinute);
        b.endDtTm = At(endDay, endMinute);
        b.reference = "SER";
        return b;
    }
    int32_t Stored(int32_t day, int startMinute, int endMinute) {
        const int32_t id = DialogFixture::AddAppointment(ann, room, massage, At(day, startMinute),
                                                         At(day, endMinute));
        sets.clear();
        return id;
    }
    // Each row's columns joined by ";".
    static std::vector<QString> Rows(const DlgRepeat& d, size_t most) {
        std::vector<QString> rows;
        for (int r = 0; r < d.LbDates()->ListCount() && rows.size() < most; ++r) {
            QStringList cells;
            for (int c = DlgRepeat::kDate; c <= DlgRepeat::kDetails; ++c) {
                cells << d.LbDates()->ItemText(r, c);
            }
            rows.push_back(cells.join(u';'));
        }
        return rows;
    }
    // Every booking of the room, as "day start-end series".
    std::vector<std::tuple<int32_t, int32_t, int32_t>> Bookings() const {
        std::vector<std::tuple<int32_t, int32_t, int32_t>> all;
        for (int32_t id : std::vector<int32_t>(ids())) {
            auto a = global().AppointmentLoad(id);
            all.emplace_back(a->StartDtTm(), a->EndDtTm(), global().SeriesOf(id));
        }
        return all;
    }
    std::vector<int32_t> ids() const {
        std::vector<int32_t> all;
        for (const ClsAppointment& a : global().Appointments()) {
            all.push_back(a.Id());
        }
        std::sort(all.begin(), all.end());
        return all;
    }
    const ClsGlobal& global() const { return services().store; }

    int32_t room = 0, ann = 0, massage = 0, longType = 0;
    std::unique_ptr<DlgRepeat> dialog;
    std::vector<ChangeSet> sets;
    StoreChanges::Subscription subscription;
};

struct ListCase {
    const char* name;
    std::function<PlannedBooking(DlgRepeatTest&)> first;
    std::function<void(DlgRepeatTest&)> stored; // bookings already made
    std::function<void(DlgRepeat&)> rule;       // the fields as the user sets them
    std::vector<QString> rows;                  // the first rows of the list
    int rowCount;
    QString summary;
    QString book; // the Book button's caption, "" when greyed
};
void PrintTo(const ListCase& c, std::ostream* os) {
    *os << c.name;
}

class Lists : public DlgRepeatTest, public ::testing::WithParamInterface<ListCase> {};

TEST_P(Lists, NameEveryDateAsItWouldFare) {
    const ListCase& c = GetParam();
    if (c.stored) {
        c.stored(*this);
    }
    dialog->SetFirst(c.first(*this));
    Show<DlgRepeat>(*dialog, [&](DlgRepeat& d) {
        c.rule(d);
        EXPECT_EQ(Rows(d, c.rows.size()), c.rows);
        EXPECT_EQ(d.LbDates()->ListCount(), c.rowCount);
        EXPECT_EQ(d.LblSummary()->text(), c.summary);
        EXPECT_EQ(d.CmdBook()->isEnabled() ? d.CmdBook()->text() : QString(), c.book);
    });
    EXPECT_TRUE(sets.empty()) << "listing stores nothing";
}

const int32_t kMon7Jun = ClsDate::DayNumberFromCivil(2021, 6, 7);
const int32_t kMon4Dec1899 = ClsDate::DayNumberFromCivil(1899, 12, 4);

void Weekly(DlgRepeat& d, int count) {
    d.CbRepeats()->setCurrentIndex(int(Repeats::Weekly));
    d.SpnCount()->setValue(count);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Lists,
    ::testing::Values(
        ListCase{"WeeklyWithADateInTheWay",
                 [](DlgRepeatTest& f) { return f.First(kMon7Jun, 540, kMon7Jun, 660); },
                 [](DlgRepeatTest& f) { f.Stored(kMon7Jun + 7, 600, 630); },
                 [](DlgRepeat& d) { Weekly(d, 4); },
                 {"Mon 07 Jun 2021;09:00 to 11:00;Free;",
                  "Mon 14 Jun 2021;09:00 to 11:00;Collides;Ann, Massage, Mon 14 Jun 2021 10:00 "
                  "to 10:30",
                  "Mon 21 Jun 2021;09:00 to 11:00;Free;", "Mon 28 Jun 2021;09:00 to 11:00;Free;"},
                 4,
                 "3 of 4 dates are free.",
                 "&Book 3 dates"},
        ListCase{"EveryOtherWeekOnMondayAndThursday",
                 [](DlgRepeatTest& f) { return f.First(kMon7Jun, 540, kMon7Jun, 600); },
                 nullptr,
                 [](DlgRepeat& d) {
                     d.ChkWeekday(kThu)->setChecked(true);
                     d.SpnInterval()->setValue(2);
                     d.SpnCount()->setValue(4);
                 },
                 {"Mon 07 Jun 2021;09:00 to 10:00;Free;", "Thu 10 Jun 2021;09:00 to 10:00;Free;",
                  "Mon 21 Jun 2021;09:00 to 10:00;Free;", "Thu 24 Jun 2021;09:00 to 10:00;Free;"},
                 4,
                 "4 of 4 dates are free.",
                 "&Book 4 dates"},
        // Each date ends past midnight as the first does; the night's booking blocks one.
        ListCase{"DailyPastMidnight",
                 [](DlgRepeatTest& f) { return f.First(kMon7Jun, 1380, kMon7Jun + 1, 60); },
                 [](DlgRepeatTest& f) { f.Stored(kMon7Jun + 2, 0, 30); },
                 [](DlgRepeat& d) {
                     d.CbRepeats()->setCurrentIndex(int(Repeats::Daily));
                     d.SpnCount()->setValue(3);
                 },
                 {"Mon 07 Jun 2021;23:00 to 01:00 next day;Free;",
                  "Tue 08 Jun 2021;23:00 to 01:00 next day;Collides;Ann, Massage, Wed 09 Jun "
                  "2021 00:00 to 00:30",
                  "Wed 09 Jun 2021;23:00 to 01:00 next day;Free;"},
                 3,
                 "2 of 3 dates are free.",
                 "&Book 2 dates"},
        // The booking in the way runs past midnight: both its days are named.
        ListCase{"InTheWayOfANightBooking",
                 [](DlgRepeatTest& f) { return f.First(kMon7Jun, 0, kMon7Jun, 60); },
                 [](DlgRepeatTest& f) {
                     f.AddAppointment(f.ann, f.room, f.massage, f.At(kMon7Jun + 6, 1410),
                                      f.At(kMon7Jun + 7, 30));
                     f.sets.clear();
                 },
                 [](DlgRepeat& d) { Weekly(d, 2); },
                 {"Mon 07 Jun 2021;00:00 to 01:00;Free;",
                  "Mon 14 Jun 2021;00:00 to 01:00;Collides;Ann, Massage, Sun 13 Jun 2021 23:30 "
                  "to Mon 14 Jun 2021 00:30"},
                 2,
                 "1 of 2 dates are free.",
                 "&Book 1 date"},
        ListCase{"Before1900",
                 [](DlgRepeatTest& f) { return f.First(kMon4Dec1899, 540, kMon4Dec1899, 660); },
                 [](DlgRepeatTest& f) { f.Stored(kMon4Dec1899 + 7, 600, 630); },
                 [](DlgRepeat& d) { Weekly(d, 2); },
                 {"Mon 04 Dec 1899;09:00 to 11:00;Free;",
                  "Mon 11 Dec 1899;09:00 to 11:00;Collides;Ann, Massage, Mon 11 Dec 1899 10:00 "
                  "to 10:30"},
                 2,
                 "1 of 2 dates are free.",
                 "&Book 1 date"},
        ListCase{
            "LongerThanADayMeetsItsOwnDates",
            [](DlgRepeatTest& f) { return f.First(kMon7Jun, 540, kMon7Jun + 1, 600, f.longType); },
            nullptr,
            [](DlgRepeat& d) {
                d.CbRepeats()->setCurrentIndex(int(Repeats::Daily));
                d.SpnCount()->setValue(2);
            },
            {"Mon 07 Jun 2021;09:00 to 10:00 next day;Free;",
             "Tue 08 Jun 2021;09:00 to 10:00 next day;Collides;another date of this series"},
            2,
            "1 of 2 dates are free.",
            "&Book 1 date"},
        ListCase{
            "TwoDaysLong",
            [](DlgRepeatTest& f) { return f.First(kMon7Jun, 540, kMon7Jun + 2, 600, f.longType); },
            nullptr,
            [](DlgRepeat& d) { Weekly(d, 2); },
            {"Mon 07 Jun 2021;09:00 to 10:00 2 days later;Free;",
             "Mon 14 Jun 2021;09:00 to 10:00 2 days later;Free;"},
            2,
            "2 of 2 dates are free.",
            "&Book 2 dates"},
        ListCase{"MonthlyOnThe31stSkipsShortMonths",
                 [](DlgRepeatTest& f) {
                     const int32_t day = ClsDate::DayNumberFromCivil(2027, 1, 31);
                     return f.First(day, 540, day, 600);
                 },
                 nullptr,
                 [](DlgRepeat& d) {
                     EXPECT_EQ(d.CbRepeats()->itemText(int(Repeats::MonthlyByDate)),
                               "Monthly on the 31st");
                     d.CbRepeats()->setCurrentIndex(int(Repeats::MonthlyByDate));
                     d.SpnCount()->setValue(3);
                 },
                 {"Sun 31 Jan 2027;09:00 to 10:00;Free;",
                  "Feb 2027;;Skipped;No 31st in February 2027",
                  "Wed 31 Mar 2027;09:00 to 10:00;Free;", "Apr 2027;;Skipped;No 31st in April 2027",
                  "Mon 31 May 2027;09:00 to 10:00;Free;"},
                 5,
                 "3 of 3 dates are free.",
                 "&Book 3 dates"},
        ListCase{"TooLongForTheType",
                 [](DlgRepeatTest& f) { return f.First(kMon7Jun, 540, kMon7Jun, 720); },
                 nullptr,
                 [](DlgRepeat& d) { Weekly(d, 2); },
                 {"Mon 07 Jun 2021;09:00 to 12:00;Outside the type's rules;longer than its "
                  "maximum of 120 minutes",
                  "Mon 14 Jun 2021;09:00 to 12:00;Outside the type's rules;longer than its "
                  "maximum of 120 minutes"},
                 2,
                 "0 of 2 dates are free.",
                 ""},
        ListCase{"UntilADate",
                 [](DlgRepeatTest& f) { return f.First(kMon7Jun, 540, kMon7Jun, 600); },
                 nullptr,
                 [](DlgRepeat& d) {
                     d.OptUntil()->setChecked(true);
                     d.DateUntil()->SetValue(kMon7Jun + 20);
                 },
                 {"Mon 07 Jun 2021;09:00 to 10:00;Free;", "Mon 14 Jun 2021;09:00 to 10:00;Free;",
                  "Mon 21 Jun 2021;09:00 to 10:00;Free;"},
                 3,
                 "3 of 3 dates are free.",
                 "&Book 3 dates"},
        ListCase{"MoreThanAThousandDates",
                 [](DlgRepeatTest& f) { return f.First(kMon7Jun, 540, kMon7Jun, 600); },
                 nullptr,
                 [](DlgRepeat& d) {
                     d.CbRepeats()->setCurrentIndex(int(Repeats::Daily));
                     d.OptUntil()->setChecked(true);
                     d.DateUntil()->SetValue(kMon7Jun + 5000);
                 },
                 {"Mon 07 Jun 2021;09:00 to 10:00;Free;"},
                 1000,
                 "1,000 of 1,000 dates are free.\nThe rule gives more than 1,000 dates; only the "
                 "first 1,000 are listed.",
                 "&Book 1,000 dates"}),
    [](const auto& row) { return std::string(row.param.name); });

// The fields a showing starts from: weekly on the first day's weekday, ten times, the
// interval and the weekdays offered only where the rule uses them.
TEST_F(DlgRepeatTest, StartsWeeklyOnTheFirstDaysWeekdayTenTimes) {
    dialog->SetFirst(First(kMon7Jun + 3, 540, kMon7Jun + 3, 600));
    Show<DlgRepeat>(*dialog, [&](DlgRepeat& d) {
        EXPECT_EQ(d.windowTitle(), "Repeat");
        EXPECT_EQ(d.CbRepeats()->currentIndex(), int(Repeats::Weekly));
        for (int box = 0; box < 7; ++box) {
            EXPECT_EQ(d.ChkWeekday(box)->isChecked(), box == kThu) << box;
        }
        EXPECT_TRUE(d.OptCount()->isChecked());
        EXPECT_EQ(d.LbDates()->ListCount(), 10);
        EXPECT_EQ(d.LblUnit()->text(), "weeks");
        d.CbRepeats()->setCurrentIndex(int(Repeats::Weekdays));
        EXPECT_FALSE(d.SpnInterval()->isEnabled());
        EXPECT_FALSE(d.ChkWeekday(kMon)->isEnabled());
        d.CbRepeats()->setCurrentIndex(int(Repeats::MonthlyByDate));
        EXPECT_TRUE(d.SpnInterval()->isEnabled());
        EXPECT_EQ(d.LblUnit()->text(), "months");
        d.CmdHelp()->click();
    });
    ASSERT_EQ(ui.helps.size(), 1);
    EXPECT_EQ(ui.helps[0].request.context, 11);
}

// Book makes the free dates as one named step, links them into one series, and an undo of
// that step leaves the store as it was.
TEST_F(DlgRepeatTest, BookMakesTheFreeDatesOneStepAndOneSeries) {
    const int32_t inTheWay = Stored(kMon7Jun + 7, 600, 630);
    const auto before = Bookings();
    dialog->SetFirst(First(kMon7Jun, 540, kMon7Jun, 660));
    const int result = Show<DlgRepeat>(*dialog, [&](DlgRepeat& d) {
        Weekly(d, 4);
        d.CmdBook()->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].what, "Book 3 appointments in a series");
    const int32_t series = global().SeriesOf(dialog->BookedId());
    ASSERT_NE(series, 0);
    std::vector<int32_t> starts;
    for (int32_t id : global().SeriesMembers(series)) {
        starts.push_back(global().AppointmentLoad(id)->StartDtTm());
    }
    EXPECT_EQ(starts, (std::vector<int32_t>{At(kMon7Jun, 540), At(kMon7Jun + 14, 540),
                                            At(kMon7Jun + 21, 540)}));
    EXPECT_EQ(global().AppointmentLoad(dialog->BookedId())->StartDtTm(), At(kMon7Jun, 540));
    EXPECT_EQ(global().SeriesOf(inTheWay), 0);

    EXPECT_EQ(changes().Undo(EditStep(sets[0])), std::nullopt);
    EXPECT_EQ(Bookings(), before);
}

// A stored booking repeated is the first date: it stays itself and joins the series.
TEST_F(DlgRepeatTest, AStoredFirstBookingJoinsTheSeries) {
    const int32_t first = Stored(kMon7Jun, 540, 600);
    PlannedBooking b = First(kMon7Jun, 540, kMon7Jun, 600);
    b.id = first;
    dialog->SetFirst(b);
    Show<DlgRepeat>(*dialog, [&](DlgRepeat& d) {
        Weekly(d, 3);
        EXPECT_EQ(d.LbDates()->ItemText(0, DlgRepeat::kState), "Free");
        d.CmdBook()->click();
    });
    EXPECT_EQ(dialog->BookedId(), first);
    EXPECT_EQ(global().Appointments().Count(), 3u);
    EXPECT_EQ(global().SeriesSize(global().SeriesOf(first)), 3u);
}

// The date listed free is taken before Book: nothing is booked, no error is told, and Book
// greys.
TEST_F(DlgRepeatTest, BookWithNothingLeftFreeBooksNothing) {
    dialog->SetFirst(First(kMon7Jun, 540, kMon7Jun, 600));
    Show<DlgRepeat>(*dialog, [&](DlgRepeat& d) {
        Weekly(d, 1);
        ASSERT_TRUE(d.CmdBook()->isEnabled());
        Stored(kMon7Jun, 570, 600);
        d.CmdBook()->click();
        EXPECT_FALSE(d.CmdBook()->isEnabled());
        EXPECT_EQ(d.LblSummary()->text(), "0 of 1 date is free.");
        d.CmdCancel()->click();
    });
    EXPECT_EQ(dialog->BookedId(), 0);
    EXPECT_TRUE(sets.empty());
    EXPECT_TRUE(ui.messages.empty());
}

// From the appointment dialog: the booked dates close it as a save would, holding the first
// one; backing out of Repeat leaves it open and nothing stored.
TEST_F(DlgRepeatTest, AppointmentDialogClosesAfterABookingOnly) {
    for (const bool book : {true, false}) {
        SCOPED_TRACE(book ? "booked" : "cancelled");
        DlgAppointment appointment(services(), schedule());
        appointment.SetResourceId(room);
        appointment.SetStartDateTime(At(kMon7Jun, 540));
        appointment.SetEndDateTime(At(kMon7Jun, 600));
        const size_t before = global().Appointments().Count();
        const int result = Show<DlgAppointment>(appointment, [&](DlgAppointment& d) {
            ui.modalActions.push_back([&](QDialog* shown) {
                auto* repeat = static_cast<DlgRepeat*>(shown);
                Weekly(*repeat, 3);
                (book ? repeat->CmdBook() : repeat->CmdCancel())->click();
                return repeat->result();
            });
            d.mnuFileRepeat_Click();
            EXPECT_EQ(d.isVisible(), !book);
        });
        EXPECT_EQ(result, book ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(global().Appointments().Count(), before + (book ? 3 : 0));
        if (book) {
            EXPECT_EQ(appointment.AppointmentId(), appointment.RepeatDialog().BookedId());
            EXPECT_EQ(global().AppointmentLoad(appointment.AppointmentId())->StartDtTm(),
                      At(kMon7Jun, 540));
            EXPECT_EQ(global().SeriesSize(global().SeriesOf(appointment.AppointmentId())), 3u);
        } else {
            EXPECT_EQ(appointment.AppointmentId(), 0);
        }
    }
}

// A booking already in a series of two or more is not made the first of another; a lone
// booking, or one whose series has lost its other members, is.
TEST_F(DlgRepeatTest, RepeatIsGreyedForAMemberOfASeries) {
    const int32_t lone = Stored(kMon7Jun, 540, 600);
    const int32_t a = Stored(kMon7Jun + 1, 540, 600);
    const int32_t b = Stored(kMon7Jun + 2, 540, 600);
    const int32_t left = Stored(kMon7Jun + 3, 540, 600);
    changes().SetSeries(a, a);
    changes().SetSeries(b, a);
    changes().SetSeries(left, left);
    const std::pair<int32_t, bool> rows[] = {
        {0, true}, {lone, true}, {a, false}, {b, false}, {left, true}};
    DlgAppointment appointment(services(), schedule());
    for (const auto& [id, enabled] : rows) {
        appointment.SetAppointmentId(id);
        Show<DlgAppointment>(appointment, [&](DlgAppointment& d) {
            EXPECT_EQ(d.Action(DlgAppointment::Command::FileRepeat)->isEnabled(), enabled) << id;
            d.mnuFileRepeat_Click();
        });
        EXPECT_EQ(ui.log.contains("ShowModal DlgRepeat"), enabled) << id;
        ui.log.clear();
    }
}

} // namespace
