#include "controls/ScheduleGrid.h"
#include "controls/ColorRef.h"
#include "controls/ScheduleGridPainter.h"
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

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

int32_t DayOf(int year, int month, int day) {
    return static_cast<int32_t>(QDate(1900, 1, 1).daysTo(QDate(year, month, day)));
}

const int32_t kMonday = DayOf(2026, 12, 7);
const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

class ScheduleGridTest : public ::testing::Test {
protected:
    // A week in view at once (8 px an hour), whatever the grid starts with.
    void SetUp() override {
        grid->resize(1200, 400);
        grid->SetResolution(8);
        grid->SetDateFirst(kMonday);
        grid->SetDateLast(kMonday + 6);
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    }

    void AddRows(int count) {
        for (int i = 1; i <= count; ++i) {
            grid->SetRowData(grid->AddRow(QString("Room %1").arg(i)), 100 + i);
        }
    }

    QWidget* View() { return grid->viewport(); }

    QImage Render() {
        QImage image(View()->size(), QImage::Format_ARGB32);
        image.fill(Qt::magenta);
        View()->render(&image);
        return image;
    }

    QColor PixelAt(const QImage& image, int32_t day, int minute, int row) {
        return image.pixel(grid->PointFor(day, minute, row));
    }

    std::unique_ptr<ScheduleGrid> grid = std::make_unique<ScheduleGrid>();
};

// --- model and time axis --------------------------------------------------------------

// Numbering and ClearAll show in the selection test.
TEST_F(ScheduleGridTest, RowAndBarFieldsReadBackAndMissingOnesReadAsZero) {
    grid->AddRow("A");
    grid->AddRow("B");
    EXPECT_EQ(grid->RowText(2), "B");
    EXPECT_EQ(grid->AddBar(3, 60, 120, kMonday, kMonday), 0) << "no such row";
    EXPECT_EQ(grid->AddBar(0, 60, 120, kMonday, kMonday), 0) << "no such row";
    grid->AddBar(2, 540, 600, kMonday, kMonday);
    grid->AddBar(2, 60, 120, kMonday + 1, kMonday + 2);
    grid->SetBarData(2, 2, 123456789);
    EXPECT_EQ((std::array{grid->BarData(2, 1), grid->BarData(2, 2), grid->BarData(2, 3)}),
              (std::array{0, 123456789, 0}));
}

TEST(ScheduleGridModel, FindsExactlyTheBarsOverlappingASpan) {
    // Bars given as (start, end) in minutes since day 0, queried over [from, to).
    const struct {
        std::vector<std::pair<int, int>> bars;
        int64_t from, to;
        std::vector<int> expected; // bar numbers, in order of start
    } cases[] = {
        {{{500, 600}, {0, 60}, {300, 400}, {100, 200}}, 150, 350, {4, 3}}, // added out of order
        {{{0, 100}, {200, 300}}, 100, 200, {}},                            // touching edges
        {{{0, 100000}, {50, 60}, {99000, 99010}}, 90000, 90001, {1}},      // starting far before
        {{{120, 120}, {400, 400}}, 100, 200, {1}},                         // no length
        {{{600, 500}}, 550, 560, {1}},                                     // end given before start
        {{{0, 1000}}, 500, 500, {}},                                       // empty span
    };
    for (const auto& c : cases) {
        ScheduleGridModel model;
        model.AddRow("row");
        for (const auto& [start, end] : c.bars) {
            model.AddBar(1, start % 1440, end % 1440, start / 1440, end / 1440);
        }
        std::vector<int> found;
        model.ForEachBarIn(1, c.from, c.to,
                           [&](int bar, const ScheduleGridBar&) { found.push_back(bar); });
        EXPECT_EQ(found, c.expected) << "span from " << c.from;
    }
}

TEST(ScheduleTimeAxis, HiddenHoursFoldToTheNearerEdgeAndBarEndsKeepMidnightOnTheDayBefore) {
    ScheduleTimeAxis axis;
    axis.Set(100, 101, 480, 1080, 60); // 8:00 to 18:00 at one pixel a minute
    const struct {
        int32_t day;
        int minute;
        int64_t offset;
    } moments[] = {{100, 480, 0},   {100, 300, 0}, {100, 1200, 600}, {101, 480, 600},
                   {101, 540, 660}, {99, 700, 0},  {105, 0, 1200}};
    for (const auto& m : moments) {
        EXPECT_EQ(axis.OffsetOf(m.day, m.minute), m.offset) << m.day << " " << m.minute;
        EXPECT_EQ(axis.XOf(m.offset), static_cast<double>(m.offset));
    }
    using Moment = ScheduleTimeAxis::Moment;
    EXPECT_EQ(axis.MomentAt(600, false), (Moment{101, 480}));
    EXPECT_EQ(axis.MomentAt(600, true), (Moment{100, 1080}));
    EXPECT_EQ(axis.MomentAt(5000, true), (Moment{101, 1080})) << "clamped to the range";

    axis.Set(100, 100, 0, 1440, 60);
    EXPECT_EQ(axis.MomentAt(1440, true), (Moment{101, 0})) << "midnight is minute 0";
    axis.Set(100, 99, 600, 600, 0);
    EXPECT_EQ(axis.DayCount(), 0);
    EXPECT_EQ(axis.DayEnd(), 1440) << "an end at the start means the end of the day";
    EXPECT_EQ(axis.PixelsPerHour(), 1);
}

// --- mouse, keys and focus ----------------------------------------------------------

// Moments in minutes after kMonday 0:00.
struct DragCase {
    const char* name;
    int from, to;   // drawn
    int start, end; // the bar expected
};

class GridDragTest : public ScheduleGridTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(GridDragTest, DragAcrossAnEmptyRowAddsTheDrawnBar) {
    const DragCase& c = GetParam();
    AddRows(3);
    QSignalSpy added(grid.get(), &ScheduleGrid::BarAdded);
    const QPoint from = grid->PointFor(kMonday + c.from / 1440, c.from % 1440, 2);
    const QPoint to = grid->PointFor(kMonday + c.to / 1440, c.to % 1440, 2);
    QTest::mousePress(View(), Qt::LeftButton, {}, from);
    QTest::mouseMove(View(), (from + to) / 2);
    QTest::mouseMove(View(), to);
    QTest::mouseRelease(View(), Qt::LeftButton, {}, to);

    ASSERT_EQ(added.count(), 1);
    EXPECT_EQ(added[0], (QVariantList{2, 1, 0, 0}));
    EXPECT_EQ(grid->BarCount(2), 1);
    EXPECT_EQ(ColorRefToQColor(grid->BarColor(2, 1)), grid->palette().color(QPalette::Highlight))
        << "colour references keep red in the low byte";
    EXPECT_EQ((std::array{grid->BarStartDate(2, 1) - kMonday, grid->BarStartMinute(2, 1),
                          grid->BarEndDate(2, 1) - kMonday, grid->BarEndMinute(2, 1)}),
              (std::array{c.start / 1440, c.start % 1440, c.end / 1440, c.end % 1440}));
    EXPECT_EQ(grid->HitTest(grid->PointFor(kMonday + c.start / 1440, c.start % 1440 + 20, 2)),
              (ScheduleGrid::Hit{2, 1}))
        << "the new bar is where it was drawn";
}

constexpr int kDay = 1440;
INSTANTIATE_TEST_SUITE_P(
    Drags, GridDragTest,
    ::testing::Values(DragCase{"SameDay", 9 * 60, 11 * 60, 9 * 60, 11 * 60},
                      DragCase{"AcrossMidnight", 22 * 60, kDay + 120, 22 * 60, kDay + 120},
                      DragCase{"RightToLeft", kDay + 840, kDay + 600, kDay + 600, kDay + 840},
                      DragCase{"EndingAtMidnight", 2 * kDay + 1200, 3 * kDay, 2 * kDay + 1200,
                               3 * kDay},
                      DragCase{"SnapsToQuarterHours", 9 * 60 + 2, 11 * 60 + 50, 9 * 60, 12 * 60}),
    kCaseName);

TEST_F(ScheduleGridTest, PointerAndClicksOverABarRaiseItsEventsWithRowAndBar) {
    AddRows(3);
    grid->AddBar(2, 9 * 60, 12 * 60, kMonday, kMonday);
    grid->AddBar(2, 9 * 60, 12 * 60, kMonday + 1, kMonday + 1);
    QSignalSpy moves(grid.get(), &ScheduleGrid::ItemMove);
    QTest::mouseMove(View(), grid->PointFor(kMonday + 1, 10 * 60, 2));
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves.last(), (QVariantList{2, 2}));
    QTest::mouseMove(View(), grid->PointFor(kMonday + 1, 10 * 60 + 30, 2));
    EXPECT_EQ(moves.count(), 1) << "still over the same bar";
    QTest::mouseMove(View(), grid->PointFor(kMonday + 1, 14 * 60, 2));
    EXPECT_EQ(moves.last(), (QVariantList{2, 0}));
    QTest::mouseMove(View(), QPoint(grid->ListWidth() + 50, 5)); // the ruler
    EXPECT_EQ(moves.last(), (QVariantList{0, 0}));

    QSignalSpy left(grid.get(), &ScheduleGrid::BarLeftClick);
    QSignalSpy twice(grid.get(), &ScheduleGrid::BarDblClick);
    QSignalSpy right(grid.get(), &ScheduleGrid::BarRightClick);
    QSignalSpy added(grid.get(), &ScheduleGrid::BarAdded);
    const QList<QVariantList> once{{2, 2}};
    const QPoint at = grid->PointFor(kMonday + 1, 10 * 60 + 30, 2);
    QTest::mouseClick(View(), Qt::LeftButton, {}, at);
    EXPECT_EQ(left, once);
    EXPECT_EQ(twice.count() + right.count(), 0);
    EXPECT_EQ(grid->CurrentRow(), 2);
    grid->SetCurrentRow(0);
    QTest::mouseDClick(View(), Qt::LeftButton, {}, at); // begins with a click: left not checked
    EXPECT_EQ(twice, once);
    EXPECT_EQ(right.count(), 0);
    EXPECT_EQ(grid->CurrentRow(), 2);
    grid->SetCurrentRow(0);
    left.clear();
    QTest::mouseClick(View(), Qt::RightButton, {}, at);
    EXPECT_EQ(right, once);
    EXPECT_EQ(left.count(), 0);
    EXPECT_EQ(grid->CurrentRow(), 2);
    EXPECT_EQ(added.count(), 0) << "a click on a bar draws nothing";
}

TEST_F(ScheduleGridTest, ClicksSelectRowsWithoutDrawingAndTheSelectionSurvivesARebuild) {
    AddRows(5);
    QSignalSpy added(grid.get(), &ScheduleGrid::BarAdded);
    QSignalSpy focus(grid.get(), &ScheduleGrid::GotFocus);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(grid.get(), &focusIn);
    EXPECT_EQ(focus.count(), 1);
    QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(10, grid->PointFor(kMonday, 0, 3).y()));
    EXPECT_EQ(grid->CurrentRow(), 3) << "click on the row title";
    QTest::mouseClick(View(), Qt::LeftButton, {}, grid->PointFor(kMonday + 1, 600, 4));
    EXPECT_EQ(grid->CurrentRow(), 4) << "click on an empty part of the row";
    EXPECT_EQ(added.count(), 0) << "a click without dragging draws nothing";
    QTest::keyClick(grid.get(), Qt::Key_Up);
    EXPECT_EQ(grid->CurrentRow(), 3);

    grid->ClearAll(); // rebuilt in another order: the selection follows the row's data
    EXPECT_EQ(grid->CurrentRow(), 0);
    for (int data : {105, 103, 101}) {
        grid->SetRowData(grid->AddRow("x"), data);
    }
    EXPECT_EQ(grid->CurrentRow(), 2);
    grid->ClearAll(); // rebuilt without that row: nothing is selected
    grid->SetRowData(grid->AddRow("x"), 101);
    EXPECT_EQ(grid->CurrentRow(), 0);
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

// --- scrolling, zoom and painting ----------------------------------------------------

TEST_F(ScheduleGridTest, ScrollToTimeBringsTheMomentIntoViewAndZoomKeepsTheLeftEdge) {
    grid->SetDateFirst(DayOf(2026, 12, 1));
    grid->SetDateLast(DayOf(2026, 12, 31));
    AddRows(2);
    const int32_t day = DayOf(2026, 12, 20);
    ASSERT_GT(grid->PointFor(day, 600, 1).x(), View()->width()) << "starts out of view";

    grid->ScrollToTime(day, 600);
    const int x = grid->PointFor(day, 600, 1).x() - grid->ListWidth();
    EXPECT_NEAR(x, (View()->width() - grid->ListWidth()) / 3, 2);
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
    EXPECT_EQ(grid->BarRect(1, partly).right() + 1, grid->PointFor(kMonday + 2, 8 * 60, 1).x())
        << "cut at the end of the shown day";
}

TEST_F(ScheduleGridTest, PaintingVisitsOnlyTheBarsInView) {
    grid->SetDateFirst(DayOf(2026, 1, 1));
    grid->SetDateLast(DayOf(2026, 12, 31));
    grid->SetResolution(ScheduleGrid::ResolutionMaximum());
    AddRows(3);
    for (int32_t day = DayOf(2026, 12, 31); day >= DayOf(2026, 1, 1); --day) {
        grid->AddBar(1, 9 * 60, 10 * 60, day, day); // backwards: the index must re-sort
    }
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
    for (int i = 0; i < 200; ++i) {
        grid->AddBar(grid->AddRow("more"), 2 * 60, 4 * 60, DayOf(2026, 6, 15), DayOf(2026, 6, 15));
    }
    Render();
    const int rowsInView = View()->height() / grid->RowHeight() + 1;
    EXPECT_GT(grid->PaintedBarCount(), 1);
    EXPECT_LE(grid->PaintedBarCount(), rowsInView);
    EXPECT_LE(grid->ExaminedBarCount(), 2 * rowsInView);
}

TEST_F(ScheduleGridTest, BarsWeekendsAndRowTitlesArePaintedInTheirColours) {
    AddRows(3);
    grid->SetWeekendColor(0x00C0C0C0);
    grid->SetListBackColor(0x00F0F0F0);
    const int bar = grid->AddBar(2, 9 * 60, 15 * 60, kMonday + 1, kMonday + 1);
    grid->SetBarColor(2, bar, 0x000000FF); // red
    grid->ScrollToTime(kMonday + 1, 12 * 60);
    QImage image = Render();
    const QRect box = grid->BarRect(2, bar);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(QColor(image.pixel(box.right() - 3, box.center().y())), QColor(255, 0, 0));
    EXPECT_EQ(PixelAt(image, kMonday + 1, 17 * 60 + 15, 2), QColor(255, 255, 255));

    grid->ScrollToTime(kMonday + 5, 12 * 60);
    image = Render();
    EXPECT_EQ(PixelAt(image, kMonday + 5, 12 * 60 + 15, 2), QColor(192, 192, 192)) << "Saturday";
    // The row title is drawn: some pixels of its cell differ from the list background.
    const int y = grid->PointFor(kMonday, 0, 1).y();
    int ink = 0;
    for (int x = 0; x < grid->ListWidth() - 2; ++x) {
        for (int dy = -6; dy <= 6; ++dy) {
            ink += QColor(image.pixel(x, y + dy)) != QColor(0xF0, 0xF0, 0xF0) ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 20);
}

// Every day of a week, Monday first: only Saturday and Sunday are shaded, in the data
// area and in the ruler's day band.
TEST_F(ScheduleGridTest, WeekendShadingFallsOnSaturdayAndSundayOnly) {
    grid->SetResolution(6); // the whole week in view
    AddRows(1);
    grid->SetWeekendColor(0x00C0C0C0);
    grid->SetBackColor(0x00FFFFFF);
    grid->SetTimeLines(false);
    const QImage image = Render();
    const char* days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    for (int i = 0; i < 7; ++i) {
        const bool weekend = i >= 5;
        EXPECT_EQ(PixelAt(image, kMonday + i, 12 * 60, 1),
                  weekend ? QColor(0xC0, 0xC0, 0xC0) : QColor(255, 255, 255))
            << days[i];
        const QColor band(image.pixel(grid->PointFor(kMonday + i, 6 * 60, 1).x(), 3));
        EXPECT_EQ(band != ColorRefToQColor(grid->RulerColor()), weekend) << days[i] << " ruler";
    }
}

// Keys with a known view: 50 rows, 8 shown, row 20 selected, the view scrolled to the
// middle of the week. Page Up and Page Down move by the rows shown less one.
struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    int row;    // the selected row after the key
    int scroll; // -1 back, 0 unchanged, 1 on, -2 to the start, 2 to the end
};
class GridKeyTest : public ScheduleGridTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(GridKeyTest, MoveTheSelectionOrTheView) {
    const KeyCase& c = GetParam();
    AddRows(50);
    grid->SetResolution(30);
    grid->resize(grid->width(), grid->RulerHeight() + 8 * grid->RowHeight() +
                                    grid->horizontalScrollBar()->sizeHint().height() + 4);
    QApplication::processEvents();
    grid->SetCurrentRow(20);
    grid->ScrollToTime(kMonday + 3, 12 * 60);
    QScrollBar* h = grid->horizontalScrollBar();
    const int before = h->value();
    ASSERT_GT(before, h->minimum());
    ASSERT_LT(before, h->maximum());
    const int shown = (grid->viewport()->height() - grid->RulerHeight()) / grid->RowHeight();
    ASSERT_EQ(shown, 8);
    QTest::keyClick(grid.get(), static_cast<Qt::Key>(c.key), c.modifiers);
    EXPECT_EQ(grid->CurrentRow(), c.row);
    const int after = h->value();
    switch (c.scroll) {
    case -2:
        EXPECT_EQ(after, h->minimum());
        break;
    case -1:
        EXPECT_LT(after, before);
        EXPECT_GT(after, h->minimum());
        break;
    case 0:
        EXPECT_EQ(after, before);
        break;
    case 1:
        EXPECT_GT(after, before);
        EXPECT_LT(after, h->maximum());
        break;
    case 2:
        EXPECT_EQ(after, h->maximum());
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridKeyTest,
    ::testing::Values(
        KeyCase{"Up", Qt::Key_Up, {}, 19, 0}, KeyCase{"Down", Qt::Key_Down, {}, 21, 0},
        KeyCase{"PageUp", Qt::Key_PageUp, {}, 13, 0},
        KeyCase{"PageDown", Qt::Key_PageDown, {}, 27, 0}, KeyCase{"Home", Qt::Key_Home, {}, 20, -2},
        KeyCase{"End", Qt::Key_End, {}, 20, 2},
        KeyCase{"CtrlHome", Qt::Key_Home, Qt::ControlModifier, 1, 0},
        KeyCase{"CtrlEnd", Qt::Key_End, Qt::ControlModifier, 50, 0},
        KeyCase{"Left", Qt::Key_Left, {}, 20, -1}, KeyCase{"Right", Qt::Key_Right, {}, 20, 1}),
    kCaseName);

// At 150% and 200% a bar's fill must end where its outline ends: no strip of fill right of
// or below it.
TEST_F(ScheduleGridTest, BarFillStaysInsideItsOutlineAtAnyScale) {
    AddRows(2);
    grid->SetBackColor(0x00FFFFFF);
    grid->SetTimeLines(false);
    const int bar = grid->AddBar(1, 9 * 60 + 7, 15 * 60 + 11, kMonday + 1, kMonday + 1);
    grid->SetBarColor(1, bar, 0x000000FF);
    const QRect box = grid->BarRect(1, bar);
    for (double scale : {1.0, 1.25, 1.5, 2.0}) {
        SCOPED_TRACE(scale);
        QImage image(View()->size() * scale, QImage::Format_ARGB32);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::magenta);
        View()->render(&image);
        const QColor red(255, 0, 0);
        const QColor white(255, 255, 255);
        const int midX = static_cast<int>(box.center().x() * scale);
        const int midY = static_cast<int>(box.center().y() * scale);
        // Walking in from beyond the bar, the first pixel of the bar is its outline.
        int x = static_cast<int>((box.right() + 3) * scale);
        while (QColor(image.pixel(x, midY)) == white) {
            --x;
        }
        EXPECT_NE(QColor(image.pixel(x, midY)), red) << "fill right of the outline at " << x;
        int y = static_cast<int>((box.bottom() + 3) * scale);
        while (QColor(image.pixel(midX, y)) == white) {
            --y;
        }
        EXPECT_NE(QColor(image.pixel(midX, y)), red) << "fill below the outline at " << y;
        EXPECT_EQ(QColor(image.pixel(midX, midY)), red);
    }
}

// A tooltip is read on its own: both ends with their days, minutes past a day's end
// counted into the next day. A bar being drawn names the days only across midnight.
TEST_F(ScheduleGridTest, TimesShowTheDayTheyFallOn) {
    AddRows(1);
    grid->SetRuler24Hour(true);
    const int overnight = grid->AddBar(1, 22 * 60, 2 * 60, kMonday, kMonday + 1);
    const int pastEnd = grid->AddBar(1, 23 * 60, 1500, kMonday + 2, kMonday + 2);
    grid->SetBarText(1, overnight, "  Night shift ");
    EXPECT_EQ(grid->BarToolTip(1, overnight),
              QString::fromUtf8("Night shift\nMon 07 Dec 22:00 \u2013 Tue 08 Dec 02:00"));
    EXPECT_EQ(grid->BarToolTip(1, pastEnd),
              QString::fromUtf8("Wed 09 Dec 23:00 \u2013 Thu 10 Dec 01:00"));
    EXPECT_EQ(ScheduleGridPainter::SpanLabel(kMonday, 600, kMonday, 660, false),
              QString::fromUtf8("10am \u2013 11am"));
    EXPECT_EQ(ScheduleGridPainter::SpanLabel(kMonday, 1380, kMonday + 1, 60, false),
              QString::fromUtf8("Mon 07 Dec 11pm \u2013 Tue 08 Dec 1am"));
}

// Asking where things are changes nothing, also while the scroll ranges wait for the
// next layout after a rebuild.
TEST_F(ScheduleGridTest, GeometryQueriesLeaveTheViewAlone) {
    AddRows(40);
    grid->ScrollToTime(kMonday + 4, 600);
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    const int h = grid->horizontalScrollBar()->value();
    const int v = grid->verticalScrollBar()->value();
    grid->ClearAll();
    AddRows(2);
    const ScheduleGrid& shown = *grid;
    const QPoint at = shown.PointFor(kMonday + 4, 600, 1);
    EXPECT_EQ(shown.HitTest(at).row, 0) << "row 1 lies above the view until it is laid out";
    EXPECT_TRUE(shown.BarRect(1, 1).isEmpty());
    EXPECT_EQ(grid->horizontalScrollBar()->value(), h);
    EXPECT_EQ(grid->verticalScrollBar()->value(), v);
}

} // namespace
