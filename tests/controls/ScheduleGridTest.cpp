#include "controls/ScheduleGrid.h"
#include "controls/ScheduleTimeAxis.h"

#include <QApplication>
#include <QDate>
#include <QFocusEvent>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace {

int32_t DayOf(int year, int month, int day) {
    return static_cast<int32_t>(QDate(1900, 1, 1).daysTo(QDate(year, month, day)));
}

const int32_t kMonday = DayOf(2026, 12, 7);

class ScheduleGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid = std::make_unique<ScheduleGrid>();
        grid->resize(1200, 400);
        grid->SetDateFirst(kMonday);
        grid->SetDateLast(kMonday + 6);
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    }

    void AddRows(int count) {
        for (int i = 1; i <= count; ++i)
            grid->SetRowData(grid->AddRow(QString("Room %1").arg(i)), 100 + i);
    }

    QWidget* View() { return grid->viewport(); }

    QImage Render() {
        QImage image(View()->size(), QImage::Format_ARGB32);
        image.fill(Qt::magenta);
        View()->render(&image);
        return image;
    }

    std::unique_ptr<ScheduleGrid> grid;
};

// --- model ------------------------------------------------------------------------

TEST_F(ScheduleGridTest, RowsAndBarsNumberFromOneAndClearAllEmptiesEverything) {
    EXPECT_EQ(grid->AddRow("A"), 1);
    EXPECT_EQ(grid->AddRow("B"), 2);
    EXPECT_EQ(grid->AddBar(2, 540, 600, kMonday, kMonday), 1);
    EXPECT_EQ(grid->AddBar(2, 60, 120, kMonday + 1, kMonday + 2), 2);
    EXPECT_EQ(grid->AddBar(3, 60, 120, kMonday, kMonday), 0) << "no such row";
    EXPECT_EQ(grid->AddBar(0, 60, 120, kMonday, kMonday), 0) << "no such row";
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->BarCount(1), 0);
    EXPECT_EQ(grid->BarCount(2), 2);
    EXPECT_EQ(grid->RowText(2), "B");

    grid->SetRowData(2, -7);
    grid->SetBarData(2, 2, 123456789);
    grid->SetBarText(2, 2, "Smith");
    grid->SetBarColor(2, 2, 0x00123456);
    grid->SetBarTextColor(2, 2, 0x00FFFFFF);
    EXPECT_EQ(grid->RowData(2), -7);
    EXPECT_EQ(grid->BarData(2, 2), 123456789);
    EXPECT_EQ(grid->BarData(2, 1), 0);
    EXPECT_EQ(grid->BarText(2, 2), "Smith");
    EXPECT_EQ(grid->BarColor(2, 2), 0x00123456u);
    EXPECT_EQ(grid->BarStartDate(2, 2), kMonday + 1);
    EXPECT_EQ(grid->BarStartMinute(2, 2), 60);
    EXPECT_EQ(grid->BarEndDate(2, 2), kMonday + 2);
    EXPECT_EQ(grid->BarEndMinute(2, 2), 120);
    EXPECT_EQ(grid->BarStartDate(2, 3), 0) << "a missing bar reads as 0";

    grid->ClearAll();
    EXPECT_EQ(grid->RowCount(), 0);
    EXPECT_EQ(grid->BarCount(2), 0);
    EXPECT_EQ(grid->RowData(2), 0);
    EXPECT_EQ(grid->AddRow("C"), 1) << "numbering starts again after ClearAll";
}

TEST(ScheduleGridColor, ColourReferencesKeepRedInTheLowByte) {
    EXPECT_EQ(ScheduleGrid::ToQColor(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(ScheduleGrid::ToQColor(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(ScheduleGrid::ToColorRef(QColor(0x12, 0x34, 0x56)), 0x00563412u);
}

// Bars given as (start, end) in minutes since day 0, queried over [from, to).
struct SpanCase {
    const char* name;
    std::vector<std::pair<int64_t, int64_t>> bars;
    int64_t from, to;
    std::vector<int> expected; // bar numbers, in order of start
};

void PrintTo(const SpanCase& c, std::ostream* os) {
    *os << c.name;
}

class ModelSpanTest : public ::testing::TestWithParam<SpanCase> {};

TEST_P(ModelSpanTest, FindsExactlyTheBarsOverlappingTheSpan) {
    const SpanCase& c = GetParam();
    ScheduleGridModel model;
    model.AddRow("row");
    for (const auto& [start, end] : c.bars)
        model.AddBar(1, static_cast<int>(start % 1440), static_cast<int>(end % 1440),
                     static_cast<int32_t>(start / 1440), static_cast<int32_t>(end / 1440));
    std::vector<int> found;
    model.ForEachBarIn(1, c.from, c.to,
                       [&](int bar, const ScheduleGridBar&) { found.push_back(bar); });
    EXPECT_EQ(found, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Spans, ModelSpanTest,
    ::testing::Values(
        SpanCase{"InOrder", {{0, 60}, {100, 200}, {300, 400}, {500, 600}}, 150, 350, {2, 3}},
        SpanCase{
            "AddedOutOfOrder", {{500, 600}, {0, 60}, {300, 400}, {100, 200}}, 150, 350, {4, 3}},
        SpanCase{"TouchingEdgesDoNotOverlap", {{0, 100}, {200, 300}}, 100, 200, {}},
        SpanCase{
            "LongBarStartingFarBefore", {{0, 100000}, {50, 60}, {99000, 99010}}, 90000, 90001, {1}},
        SpanCase{"NoLengthBarInside", {{120, 120}, {400, 400}}, 100, 200, {1}},
        SpanCase{"EndGivenBeforeStart", {{600, 500}}, 550, 560, {1}},
        SpanCase{"EmptySpan", {{0, 1000}}, 500, 500, {}}),
    [](const auto& tp) { return std::string(tp.param.name); });

// --- time axis --------------------------------------------------------------------

// Days 100 and 101 shown from 8:00 to 18:00 at one pixel a minute.
struct AxisCase {
    int32_t day;
    int minute;
    int64_t offset;
};

class ShortDayAxisTest : public ::testing::TestWithParam<AxisCase> {
protected:
    void SetUp() override { axis.Set(100, 101, 480, 1080, 60); }
    ScheduleTimeAxis axis;
};

TEST_P(ShortDayAxisTest, MomentsMapToShownMinutesAndHiddenOnesToTheNearerEdge) {
    const AxisCase& c = GetParam();
    EXPECT_EQ(axis.OffsetOf(c.day, c.minute), c.offset);
    EXPECT_EQ(axis.XOf(c.offset), static_cast<double>(c.offset));
}

INSTANTIATE_TEST_SUITE_P(Moments, ShortDayAxisTest,
                         ::testing::Values(AxisCase{100, 480, 0}, AxisCase{100, 300, 0},
                                           AxisCase{100, 1200, 600}, AxisCase{101, 480, 600},
                                           AxisCase{101, 540, 660}, AxisCase{99, 700, 0},
                                           AxisCase{105, 0, 1200}));

TEST(ScheduleTimeAxis, DayBoundariesBelongToTheDayBeforeForBarEnds) {
    ScheduleTimeAxis axis;
    axis.Set(100, 101, 480, 1080, 60);
    using Moment = ScheduleTimeAxis::Moment;
    EXPECT_EQ(axis.MomentAt(600, false), (Moment{101, 480}));
    EXPECT_EQ(axis.MomentAt(600, true), (Moment{100, 1080}));
    EXPECT_EQ(axis.MomentAt(5000, true), (Moment{101, 1080})) << "clamped to the range";
    EXPECT_EQ(axis.SnappedOffsetAtX(62.4, 15), 60);

    axis.Set(100, 100, 0, 1440, 60);
    EXPECT_EQ(axis.MomentAt(1440, true), (Moment{101, 0})) << "midnight is minute 0";
    axis.Set(100, 99, 600, 600, 0);
    EXPECT_EQ(axis.DayCount(), 0);
    EXPECT_EQ(axis.DayEnd(), 1440) << "an end at the start means the end of the day";
    EXPECT_EQ(axis.PixelsPerHour(), 1);
}

// --- drawing a bar ------------------------------------------------------------------

struct DragCase {
    const char* name;
    int fromDay, fromMinute, toDay, toMinute;     // days after kMonday
    int startDay, startMinute, endDay, endMinute; // the bar expected
};

void PrintTo(const DragCase& c, std::ostream* os) {
    *os << c.name;
}

class GridDragTest : public ScheduleGridTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(GridDragTest, DragAcrossAnEmptyRowAddsTheDrawnBar) {
    const DragCase& c = GetParam();
    AddRows(3);
    QSignalSpy added(grid.get(), &ScheduleGrid::BarAdded);
    const QPoint from = grid->PointFor(kMonday + c.fromDay, c.fromMinute, 2);
    const QPoint to = grid->PointFor(kMonday + c.toDay, c.toMinute, 2);
    QTest::mousePress(View(), Qt::LeftButton, {}, from);
    QTest::mouseMove(View(), (from + to) / 2);
    QTest::mouseMove(View(), to);
    QTest::mouseRelease(View(), Qt::LeftButton, {}, to);

    ASSERT_EQ(added.count(), 1);
    EXPECT_EQ(added[0], (QVariantList{2, 1, 0, 0}));
    EXPECT_EQ(grid->BarCount(2), 1);
    EXPECT_EQ(grid->BarStartDate(2, 1), kMonday + c.startDay);
    EXPECT_EQ(grid->BarStartMinute(2, 1), c.startMinute);
    EXPECT_EQ(grid->BarEndDate(2, 1), kMonday + c.endDay);
    EXPECT_EQ(grid->BarEndMinute(2, 1), c.endMinute);
    EXPECT_EQ(grid->HitTest(grid->PointFor(kMonday + c.startDay, c.startMinute + 20, 2)),
              (ScheduleGrid::Hit{2, 1}))
        << "the new bar is where it was drawn";
}

INSTANTIATE_TEST_SUITE_P(
    Drags, GridDragTest,
    ::testing::Values(DragCase{"SameDay", 0, 9 * 60, 0, 11 * 60, 0, 9 * 60, 0, 11 * 60},
                      DragCase{"AcrossMidnight", 0, 22 * 60, 1, 2 * 60, 0, 22 * 60, 1, 2 * 60},
                      DragCase{"RightToLeft", 1, 14 * 60, 1, 10 * 60, 1, 10 * 60, 1, 14 * 60},
                      DragCase{"EndingAtMidnight", 2, 20 * 60, 3, 0, 2, 20 * 60, 3, 0},
                      DragCase{"SnapsToQuarterHours", 0, 9 * 60 + 2, 0, 11 * 60 + 50, 0, 9 * 60, 0,
                               12 * 60}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(ScheduleGridTest, ClickWithoutDraggingAddsNoBar) {
    AddRows(2);
    QSignalSpy added(grid.get(), &ScheduleGrid::BarAdded);
    QTest::mouseClick(View(), Qt::LeftButton, {}, grid->PointFor(kMonday, 600, 1));
    EXPECT_EQ(added.count(), 0);
    EXPECT_EQ(grid->BarCount(1), 0);
}

// --- bar events ---------------------------------------------------------------------

enum class Click { Left, Double, Right };

class GridClickTest : public ScheduleGridTest, public ::testing::WithParamInterface<Click> {};

TEST_P(GridClickTest, ClickOnABarRaisesOnlyItsEventWithRowAndBar) {
    AddRows(3);
    grid->AddBar(2, 9 * 60, 12 * 60, kMonday, kMonday);
    grid->AddBar(2, 9 * 60, 12 * 60, kMonday + 1, kMonday + 1);
    QSignalSpy left(grid.get(), &ScheduleGrid::BarLeftClick);
    QSignalSpy twice(grid.get(), &ScheduleGrid::BarDblClick);
    QSignalSpy right(grid.get(), &ScheduleGrid::BarRightClick);
    QSignalSpy added(grid.get(), &ScheduleGrid::BarAdded);
    const QPoint at = grid->PointFor(kMonday + 1, 10 * 60 + 30, 2);
    const QVariantList expected{2, 2};

    switch (GetParam()) {
    case Click::Left:
        QTest::mouseClick(View(), Qt::LeftButton, {}, at);
        ASSERT_EQ(left.count(), 1);
        EXPECT_EQ(left[0], expected);
        EXPECT_EQ(twice.count(), 0);
        break;
    case Click::Double:
        QTest::mouseDClick(View(), Qt::LeftButton, {}, at);
        ASSERT_EQ(twice.count(), 1);
        EXPECT_EQ(twice[0], expected);
        break;
    case Click::Right:
        QTest::mouseClick(View(), Qt::RightButton, {}, at);
        ASSERT_EQ(right.count(), 1);
        EXPECT_EQ(right[0], expected);
        EXPECT_EQ(left.count(), 0);
        break;
    }
    if (GetParam() != Click::Right) {
        EXPECT_EQ(right.count(), 0);
    }
    EXPECT_EQ(added.count(), 0) << "a click on a bar draws nothing";
    EXPECT_EQ(grid->CurrentRow(), 2);
}

INSTANTIATE_TEST_SUITE_P(Clicks, GridClickTest,
                         ::testing::Values(Click::Left, Click::Double, Click::Right));

TEST_F(ScheduleGridTest, ItemMoveReportsTheBarUnderThePointerAndZeroElsewhere) {
    AddRows(3);
    grid->AddBar(3, 8 * 60, 10 * 60, kMonday, kMonday);
    QSignalSpy moves(grid.get(), &ScheduleGrid::ItemMove);

    QTest::mouseMove(View(), grid->PointFor(kMonday, 9 * 60, 3));
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves.last(), (QVariantList{3, 1}));
    QTest::mouseMove(View(), grid->PointFor(kMonday, 9 * 60 + 15, 3));
    EXPECT_EQ(moves.count(), 1) << "still over the same bar";
    QTest::mouseMove(View(), grid->PointFor(kMonday, 14 * 60, 3));
    EXPECT_EQ(moves.last(), (QVariantList{3, 0}));
    QTest::mouseMove(View(), QPoint(grid->ListWidth() + 50, 5)); // the ruler
    EXPECT_EQ(moves.last(), (QVariantList{0, 0}));
}

// --- selection ----------------------------------------------------------------------

TEST_F(ScheduleGridTest, ClickingARowSelectsItAndTheSelectionSurvivesARebuild) {
    AddRows(5);
    QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(10, grid->PointFor(kMonday, 0, 3).y()));
    EXPECT_EQ(grid->CurrentRow(), 3) << "click on the row title";
    QTest::mouseClick(View(), Qt::LeftButton, {}, grid->PointFor(kMonday + 1, 600, 4));
    EXPECT_EQ(grid->CurrentRow(), 4) << "click on an empty part of the row";
    QTest::keyClick(grid.get(), Qt::Key_Up);
    EXPECT_EQ(grid->CurrentRow(), 3);

    // Rebuilt in another order: the selection follows the row's data.
    grid->ClearAll();
    EXPECT_EQ(grid->CurrentRow(), 0);
    for (int data : {105, 103, 101})
        grid->SetRowData(grid->AddRow("x"), data);
    EXPECT_EQ(grid->CurrentRow(), 2);

    // Rebuilt without that row: nothing is selected.
    grid->ClearAll();
    grid->SetRowData(grid->AddRow("x"), 101);
    EXPECT_EQ(grid->CurrentRow(), 0);
    grid->SetCurrentRow(1);
    EXPECT_EQ(grid->CurrentRow(), 1);
}

TEST_F(ScheduleGridTest, ReceivingTheFocusRaisesGotFocus) {
    QSignalSpy focus(grid.get(), &ScheduleGrid::GotFocus);
    QFocusEvent event(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(grid.get(), &event);
    EXPECT_EQ(focus.count(), 1);
}

// --- scrolling and zoom -------------------------------------------------------------

TEST_F(ScheduleGridTest, ScrollToTimeBringsTheMomentIntoViewAndZoomKeepsTheLeftEdge) {
    grid->SetDateFirst(DayOf(2026, 12, 1));
    grid->SetDateLast(DayOf(2026, 12, 31));
    AddRows(2);
    const int32_t day = DayOf(2026, 12, 20);
    const int dataWidth = View()->width() - grid->ListWidth();
    ASSERT_GT(grid->PointFor(day, 600, 1).x(), View()->width()) << "starts out of view";

    grid->ScrollToTime(day, 600);
    const int x = grid->PointFor(day, 600, 1).x() - grid->ListWidth();
    EXPECT_NEAR(x, dataWidth / 3, 2);

    grid->SetResolution(static_cast<int16_t>(grid->Resolution() * 5));
    EXPECT_NEAR(grid->PointFor(day, 600, 1).x() - grid->ListWidth(), 5 * x, 6);

    grid->SetResolution(30000);
    EXPECT_EQ(grid->Resolution(), ScheduleGrid::ResolutionMaximum());
    grid->SetResolution(0);
    EXPECT_EQ(grid->Resolution(), ScheduleGrid::ResolutionMinimum());
}

TEST_F(ScheduleGridTest, BarsInHiddenHoursAreNeitherShownNorHit) {
    grid->SetDayStartMinute(8 * 60);
    grid->SetDayEndMinute(18 * 60);
    AddRows(1);
    const int hidden = grid->AddBar(1, 20 * 60, 22 * 60, kMonday, kMonday);
    const int partly = grid->AddBar(1, 17 * 60, 20 * 60, kMonday + 1, kMonday + 1);
    EXPECT_TRUE(grid->BarRect(1, hidden).isEmpty());
    EXPECT_EQ(grid->HitTest(grid->PointFor(kMonday, 21 * 60, 1)).bar, 0);
    const QRect shown = grid->BarRect(1, partly);
    EXPECT_EQ(shown.right() + 1, grid->PointFor(kMonday + 2, 8 * 60, 1).x())
        << "cut at the end of the shown day";
}

TEST_F(ScheduleGridTest, WheelAndKeysScrollAndMoveTheSelection) {
    grid->SetDateLast(kMonday + 27);
    AddRows(50);
    const auto wheel = [this](Qt::KeyboardModifiers modifiers) {
        const QPointF at(View()->width() / 2.0, View()->height() / 2.0);
        QWheelEvent event(at, View()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(View(), &event);
    };
    wheel(Qt::NoModifier);
    EXPECT_GT(grid->verticalScrollBar()->value(), 0);
    EXPECT_EQ(grid->horizontalScrollBar()->value(), 0);
    wheel(Qt::ShiftModifier);
    EXPECT_GT(grid->horizontalScrollBar()->value(), 0);

    QTest::keyClick(grid.get(), Qt::Key_Down);
    EXPECT_EQ(grid->CurrentRow(), 1) << "the first row when none was selected";
    EXPECT_EQ(grid->verticalScrollBar()->value(), 0) << "scrolled back to show it";
    QTest::keyClick(grid.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->CurrentRow(), 50);
    EXPECT_LT(grid->PointFor(kMonday, 0, 50).y(), View()->height());
}

// --- painting -----------------------------------------------------------------------

TEST_F(ScheduleGridTest, PaintingVisitsOnlyTheBarsInView) {
    grid->SetDateFirst(DayOf(2026, 1, 1));
    grid->SetDateLast(DayOf(2026, 12, 31));
    grid->SetResolution(ScheduleGrid::ResolutionMaximum());
    AddRows(3);
    for (int32_t day = DayOf(2026, 12, 31); day >= DayOf(2026, 1, 1); --day)
        grid->AddBar(1, 9 * 60, 10 * 60, day, day); // backwards: the index must re-sort
    grid->AddBar(2, 0, 0, DayOf(2026, 1, 1), DayOf(2027, 1, 1));              // spans everything
    grid->AddBar(3, 9 * 60, 10 * 60, DayOf(2027, 6, 15), DayOf(2027, 6, 15)); // after DateLast

    grid->ScrollToTime(DayOf(2026, 6, 15), 9 * 60 + 30);
    Render();
    EXPECT_EQ(grid->PaintedBarCount(), 2) << "the bar of 15 June and the one spanning the year";
    EXPECT_LE(grid->ExaminedBarCount(), 6) << "found without walking the whole row";
    grid->ScrollToTime(DayOf(2026, 6, 15), 3 * 60);
    Render();
    EXPECT_EQ(grid->PaintedBarCount(), 1) << "only the spanning bar at night";

    // Rows scrolled out of view are not visited either.
    for (int i = 0; i < 200; ++i)
        grid->AddBar(grid->AddRow("more"), 2 * 60, 4 * 60, DayOf(2026, 6, 15), DayOf(2026, 6, 15));
    Render();
    const int rowsInView = View()->height() / grid->RowHeight() + 1;
    EXPECT_GT(grid->PaintedBarCount(), 1);
    EXPECT_LE(grid->PaintedBarCount(), rowsInView);
    EXPECT_LE(grid->ExaminedBarCount(), 2 * rowsInView);
}

TEST_F(ScheduleGridTest, BarsWeekendsAndRowTitlesArePaintedInTheirColours) {
    AddRows(3);
    grid->SetBackColor(0x00FFFFFF);
    grid->SetWeekendColor(0x00C0C0C0);
    grid->SetListBackColor(0x00F0F0F0);
    const int bar = grid->AddBar(2, 9 * 60, 15 * 60, kMonday + 1, kMonday + 1);
    grid->SetBarColor(2, bar, 0x000000FF);
    grid->ScrollToTime(kMonday + 1, 12 * 60);

    QImage image = Render();
    const QRect box = grid->BarRect(2, bar);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(QColor(image.pixel(box.right() - 3, box.center().y())), QColor(255, 0, 0));
    EXPECT_EQ(QColor(image.pixel(grid->PointFor(kMonday + 1, 17 * 60 + 15, 2))),
              QColor(255, 255, 255));

    grid->ScrollToTime(kMonday + 5, 12 * 60);
    image = Render();
    EXPECT_EQ(QColor(image.pixel(grid->PointFor(kMonday + 5, 12 * 60 + 15, 2))),
              QColor(192, 192, 192))
        << "Saturday is a weekend day";

    // The row title is drawn: some pixels of its cell differ from the list background.
    const int y = grid->PointFor(kMonday, 0, 1).y();
    int ink = 0;
    for (int x = 0; x < grid->ListWidth() - 2; ++x)
        for (int dy = -6; dy <= 6; ++dy)
            ink += QColor(image.pixel(x, y + dy)) != QColor(0xF0, 0xF0, 0xF0) ? 1 : 0;
    EXPECT_GT(ink, 20);
}

} // namespace
