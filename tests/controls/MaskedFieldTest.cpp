// The masked date and time fields: values in and out in every display, typing into the
// mask, what an invalid text leaves behind, and the spin and drop reports.
#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/MaskedDateField.h"
#include "controls/MaskedTimeField.h"
#include "datetime/ClsDate.h"

namespace {

int32_t Day(int y, int m, int d) {
    return ClsDate::DayNumberFromCivil(y, m, d);
}

// Replaces the whole text by typing, as a user who tabbed into the field does.
void TypeOver(QAbstractSpinBox& field, const char* keys) {
    field.setFocus();
    field.selectAll();
    QTest::keyClicks(&field, keys);
}

TEST(MaskedDateFieldTest, ShowsDayOrMonthFirstAndReadsTypedDatesBack) {
    MaskedDateField field;
    field.SetValue(Day(2021, 6, 2));
    EXPECT_EQ(field.Text(), "02/06/2021");
    field.SetMonthFirst(true);
    EXPECT_EQ(field.Text(), "06/02/2021");
    EXPECT_EQ(field.Value(), Day(2021, 6, 2));

    TypeOver(field, "12312024");
    EXPECT_EQ(field.Value(), Day(2024, 12, 31));
    field.SetMonthFirst(false);
    TypeOver(field, "29ab022024"); // letters have no place in the mask
    EXPECT_EQ(field.Text(), "29/02/2024");
    EXPECT_EQ(field.Value(), Day(2024, 2, 29));
}

struct InvalidCase {
    const char* name;
    const char* typed;
};
class InvalidDate : public ::testing::TestWithParam<InvalidCase> {};

// Whatever the text, once the user moves on the field shows the date it holds.
TEST_P(InvalidDate, LeavingTheFieldShowsTheHeldDateAgain) {
    MaskedDateField field;
    field.SetValue(Day(2021, 6, 2));
    TypeOver(field, GetParam().typed);
    EXPECT_EQ(field.Value(), Day(2021, 6, 2));
    field.Commit();
    EXPECT_EQ(field.Text(), "02/06/2021");
}

INSTANTIATE_TEST_SUITE_P(Table, InvalidDate,
                         ::testing::Values(InvalidCase{"Incomplete", "0106"},
                                           InvalidCase{"NoSuchDay", "30022021"},
                                           InvalidCase{"NoSuchMonth", "01132021"},
                                           InvalidCase{"Before1900", "31121899"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(MaskedDateFieldTest, SpinsAndDropOnlyReport) {
    MaskedDateField field;
    field.SetValue(Day(2021, 6, 2));
    field.show();
    QSignalSpy spins(&field, &MaskedField::ClickSpin);
    QSignalSpy drops(&field, &MaskedDateField::ClickDrop);
    field.setFocus();
    QTest::keyClick(&field, Qt::Key_Up);
    QTest::keyClick(&field, Qt::Key_Down);
    QTest::keyClick(&field, Qt::Key_F4);
    QTest::keyClick(&field, Qt::Key_Down, Qt::AltModifier);
    field.DropAction()->trigger();
    ASSERT_EQ(spins.size(), 2);
    EXPECT_EQ(spins[0][0].toInt(), 0);
    EXPECT_EQ(spins[1][0].toInt(), 1);
    EXPECT_EQ(drops.size(), 3);
    EXPECT_EQ(field.Value(), Day(2021, 6, 2)) << "the window decides what a step is";
    field.SetValue(-1);
    EXPECT_EQ(field.Value(), Day(2021, 6, 2)) << "no day before 1 Jan 1900";
}

struct TimeCase {
    int32_t minutes;
    const char* clock24;
    const char* clock12;
};
class TimeDisplay : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeDisplay, BothClocksShowAndReadBackTheSameMinutes) {
    const TimeCase& c = GetParam();
    MaskedTimeField field;
    field.SetValue(c.minutes);
    EXPECT_EQ(field.Text(), c.clock24);
    field.SetTwentyFourHour(false);
    EXPECT_EQ(field.Text(), c.clock12);
    field.SetValue(0);
    TypeOver(field, QString(c.clock12).remove(':').remove(' ').toLatin1().constData());
    EXPECT_EQ(field.Value(), c.minutes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TimeDisplay,
    ::testing::Values(TimeCase{0, "00:00", "12:00 AM"}, TimeCase{605, "10:05", "10:05 AM"},
                      TimeCase{720, "12:00", "12:00 PM"}, TimeCase{781, "13:01", "01:01 PM"},
                      TimeCase{1439, "23:59", "11:59 PM"}),
    [](const auto& row) { return "At" + QString(row.param.clock24).remove(':').toStdString(); });

TEST(MaskedTimeFieldTest, DigitsTypedOnTheTwelveHourClockKeepTheHalfOfTheDay) {
    MaskedTimeField field;
    field.SetTwentyFourHour(false);
    field.SetValue(900); // 03:00 PM
    TypeOver(field, "0415");
    EXPECT_EQ(field.Value(), 16 * 60 + 15);
    QTest::keyClick(&field, Qt::Key_A);
    EXPECT_EQ(field.Text(), "04:15 AM");
    EXPECT_EQ(field.Value(), 4 * 60 + 15);
}

TEST(MaskedTimeFieldTest, ClockTimesStopAt2359AndDurationsAt9959) {
    MaskedTimeField clock;
    TypeOver(clock, "2460");
    EXPECT_EQ(clock.Value(), 0);
    clock.SetValue(5000);
    EXPECT_EQ(clock.Text(), "23:59");
    MaskedTimeField duration;
    duration.SetDuration(true);
    duration.SetTwentyFourHour(false); // a duration has no half of the day
    TypeOver(duration, "4800");
    EXPECT_EQ(duration.Text(), "48:00");
    EXPECT_EQ(duration.Value(), 2880);
    duration.SetValue(100000);
    EXPECT_EQ(duration.Value(), MaskedTimeField::LastDuration);
}

} // namespace
