// The masked date and time fields: values in and out in every display, typing into the
// mask, what an invalid text leaves behind, and the spin and drop reports.
#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "datetime/ClsDate.h"
#include "widgets/MaskedDateField.h"
#include "widgets/MaskedTimeField.h"

namespace {

const int32_t kJune2 = ClsDate::DayNumberFromCivil(2021, 6, 2);

// Replaces the whole text by typing, as a user who tabbed into the field does.
void TypeOver(QAbstractSpinBox& field, const char* keys) {
    field.setFocus();
    field.selectAll();
    QTest::keyClicks(&field, keys);
}

TEST(MaskedDateFieldTest, ShowsDayOrMonthFirstAndReadsTypedDatesBack) {
    MaskedDateField field;
    field.SetValue(kJune2);
    EXPECT_EQ(field.Text(), "02/06/2021");
    field.SetMonthFirst(true);
    EXPECT_EQ(field.Text(), "06/02/2021");
    EXPECT_EQ(field.Value(), kJune2);
    TypeOver(field, "12312024");
    EXPECT_EQ(field.Value(), ClsDate::DayNumberFromCivil(2024, 12, 31));
    field.SetMonthFirst(false);
    TypeOver(field, "29ab022024"); // letters have no place in the mask
    EXPECT_EQ(field.Text(), "29/02/2024");
    EXPECT_EQ(field.Value(), ClsDate::DayNumberFromCivil(2024, 2, 29));
}

// A text that is no date stays when the user moves on, shown as wrong, while the field
// holds the last date; a correction, or a date set, clears the mark.
TEST(MaskedDateFieldTest, AnInvalidTextStaysShownAsWrong) {
    const int32_t feb28 = ClsDate::DayNumberFromCivil(2021, 2, 28);
    for (const char* typed : {"0106", "30022021", "01132021", "31121899"}) {
        SCOPED_TRACE(typed);
        MaskedDateField field;
        field.SetValue(kJune2);
        TypeOver(field, typed);
        const QString text = field.Text();
        field.Commit();
        EXPECT_EQ(std::tuple(field.Text(), field.Value(), field.TextValid(), field.ShownWrong()),
                  std::tuple(text, kJune2, false, true));
        EXPECT_FALSE(field.toolTip().isEmpty());
        EXPECT_EQ(field.accessibleDescription(), field.toolTip()); // read out, not only hovered
        TypeOver(field, "28022021");
        EXPECT_EQ(std::tuple(field.Value(), field.ShownWrong()), std::tuple(feb28, false));
        EXPECT_TRUE(field.accessibleDescription().startsWith("Day, month and year"));
        TypeOver(field, typed);
        field.Commit();
        field.SetValue(kJune2);
        EXPECT_EQ(std::tuple(field.Text(), field.ShownWrong()), std::tuple("02/06/2021", false));
    }
}

// Up and Down report spins, F4, Alt+Down and the drop button report drops; the window
// decides what a step is.
TEST(MaskedDateFieldTest, SpinsAndDropOnlyReport) {
    MaskedDateField field;
    field.SetValue(kJune2);
    field.show();
    QSignalSpy spins(&field, &MaskedField::ClickSpin);
    QSignalSpy drops(&field, &MaskedDateField::ClickDrop);
    field.setFocus();
    QTest::keyClick(&field, Qt::Key_Up);
    QTest::keyClick(&field, Qt::Key_Down);
    QTest::keyClick(&field, Qt::Key_F4);
    QTest::keyClick(&field, Qt::Key_Down, Qt::AltModifier);
    field.DropAction()->trigger();
    EXPECT_EQ(spins, (QList<QVariantList>{{0}, {1}}));
    EXPECT_EQ(drops.size(), 3);
    EXPECT_EQ(field.Value(), kJune2);
    field.SetValue(-1);
    EXPECT_EQ(field.Value(), kJune2) << "no day before 1 Jan 1900";
}

TEST(MaskedTimeFieldTest, BothClocksShowAndReadBackTheSameMinutes) {
    const std::tuple<int32_t, const char*, const char*> times[] = {{0, "00:00", "12:00 AM"},
                                                                   {605, "10:05", "10:05 AM"},
                                                                   {720, "12:00", "12:00 PM"},
                                                                   {781, "13:01", "01:01 PM"},
                                                                   {1439, "23:59", "11:59 PM"}};
    for (const auto& [minutes, clock24, clock12] : times) {
        MaskedTimeField field;
        field.SetValue(minutes);
        EXPECT_EQ(field.Text(), clock24);
        field.SetTwentyFourHour(false);
        EXPECT_EQ(field.Text(), clock12);
        field.SetValue(0);
        TypeOver(field, QString(clock12).remove(':').remove(' ').toLatin1().constData());
        EXPECT_EQ(field.Value(), minutes) << clock24;
    }
}

// Digits typed on the twelve-hour clock keep the half of the day; clock times stop at 23:59,
// durations at 99:59.
TEST(MaskedTimeFieldTest, TheHalfOfTheDayAndTheLimits) {
    MaskedTimeField field;
    field.SetTwentyFourHour(false);
    field.SetValue(900); // 03:00 PM
    TypeOver(field, "0415");
    EXPECT_EQ(field.Value(), 16 * 60 + 15);
    QTest::keyClick(&field, Qt::Key_A);
    EXPECT_EQ(field.Text(), "04:15 AM");
    EXPECT_EQ(field.Value(), 4 * 60 + 15);
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
