#include "grid/ScheduleGrid.h"
#include "grid/ScheduleGridPainter.h"
#include "grid/ScheduleTimeAxis.h"
#include "platform/ColorRef.h"

#include <QApplication>
#include <QDate>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <array>

namespace {

int32_t DayOf(int year, int month, int day) {
    return static_cast<int32_t>(QDate(1900, 1, 1).daysTo(QDate(year, month, day)));
}

const int32_t kMonday = DayOf(2026, 12, 7);
constexpr int kDay = 1440;
const QColor kRed(255, 0, 0), kWhite(255, 255, 255), kGrey(192, 192, 192);
const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

// A week in view at once (8 px an hour), whatever the grid starts with.
class ScheduleGridTest : public ::testing::Test {
protected:
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
    // A moment given in minutes after Monday 0:00.
    QPoint At(int minutes, int row) {
        return grid->PointFor(kMonday + minutes / kDay, minutes % kDay, row);
    }
    QImage Render(double scale = 1.0) {
        QImage image(View()->size() * scale, QImage::Format_ARGB32);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::magenta);
        View()->render(&image);
        return image;
    }

    std::unique_ptr<ScheduleGrid> grid = std::make_unique<ScheduleGrid>();
};

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
            model.AddBar(1, start % kDay, end % kDay, start / kDay, end / kDay);
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

struct DragCase {
    const char* name;
    int from, to;   // drawn, minutes after Monday 0:00
    int start, end; // the bar expected
};
class GridDragTest : public ScheduleGridTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(GridDragTest, DragAcrossAnEmptyRowAddsTheDrawnBar) {
    const DragCase& c = GetParam();
    AddRows(3);
    QSignalSpy added(grid.get(), &ScheduleGrid::BarAdded);
    QTest::mousePress(View(), Qt::LeftButton, {}, At(c.from, 2));
    QTest::mouseMove(View(), (At(c.from, 2) + At(c.to, 2)) / 2);
    QTest::mouseMove(View(), At(c.to, 2));
    QTest::mouseRelease(View(), Qt::LeftButton, {}, At(c.to, 2));
    ASSERT_EQ(added.count(), 1);
    EXPECT_EQ(added[0], (QVariantList{2, 1, 0, 0}));
    EXPECT_EQ(ColorRefToQColor(grid->BarColor(2, 1)), grid->palette().color(QPalette::Highlight))
        << "colour references keep red in the low byte";
    EXPECT_EQ((std::array{grid->BarStartDate(2, 1) - kMonday, grid->BarStartMinute(2, 1),
                          grid->BarEndDate(2, 1) - kMonday, grid->BarEndMinute(2, 1)}),
              (std::array{c.start / kDay, c.start % kDay, c.end / kDay, c.end % kDay}));
    EXPECT_EQ(grid->HitTest(At(c.start + 20, 2)), (ScheduleGrid::Hit{2, 1}))
        << "the new bar is where it was drawn";
}

INSTANTIATE_TEST_SUITE_P(
    Drags, GridDragTest,
    ::testing::Values(DragCase{"SameDay", 540, 660, 540, 660},
                      DragCase{"AcrossMidnight", 1320, kDay + 120, 1320, kDay + 120},
                      DragCase{"RightToLeft", kDay + 840, kDay + 600, kDay + 600, kDay + 840},
                      DragCase{"EndingAtMidnight", 2 * kDay + 1200, 3 * kDay, 2 * kDay + 1200,
                               3 * kDay},
                      DragCase{"SnapsToQuarterHours", 542, 710, 540, 720}),
    kCaseName);

// A placer that snaps to half hours, allows at most four hours and finds row 3 taken.
class HalfHourPlacer : public IBarPlacer {
public:
    Place Placed(const Wish& w) const override {
        const auto snap = [](int64_t m) { return (m + 15) / 30 * 30; };
        Place p{snap(w.start), snap(w.end), w.row != 3, w.row == 3 ? "Collides with Busy" : ""};
        if (p.end - p.start > 240) {
            (w.edge == Edge::Start ? p.start : p.end) =
                w.edge == Edge::Start ? p.end - 240 : p.start + 240;
        }
        return p;
    }
};

// A bar on row 2, Monday 9:00 to 11:00 at a pixel a minute, taken at minute `from` and
// dragged to `to` on row `toRow`. No drop (toRow 0 expected) for a stroke too short or cut
// short by Escape.
struct BarDragCase {
    const char* name;
    int from, to, toRow;
    Qt::KeyboardModifiers atDrop;
    bool escape;
    ScheduleGrid::Drop drop; // row 2, bar 1 unless no drop
    QString note;            // the last note told
};
class GridBarDragTest : public ScheduleGridTest, public ::testing::WithParamInterface<BarDragCase> {
protected:
    void SetUp() override {
        ScheduleGridTest::SetUp();
        grid->SetResolution(60);
        AddRows(3);
        grid->SetBarData(2, grid->AddBar(2, 540, 660, kMonday, kMonday), 7);
        grid->SetBarPlacer(&placer);
        grid->ScrollToTime(kMonday, 480);
    }
    HalfHourPlacer placer;
};

TEST_P(GridBarDragTest, TheDropSaysWhereThePlacerPutTheBar) {
    const BarDragCase& c = GetParam();
    std::vector<ScheduleGrid::Drop> drops;
    QObject::connect(grid.get(), &ScheduleGrid::BarDropped,
                     [&](const ScheduleGrid::Drop& d) { drops.push_back(d); });
    QSignalSpy notes(grid.get(), &ScheduleGrid::BarDragNote);
    QTest::mousePress(View(), Qt::LeftButton, {}, At(c.from, 2));
    QTest::mouseMove(View(), (At(c.from, 2) + At(c.to, c.toRow)) / 2);
    QTest::mouseMove(View(), At(c.to, c.toRow), c.atDrop);
    EXPECT_EQ(grid->BarDragging(), c.drop.row != 0 || c.escape);
    if (c.escape) {
        QTest::keyClick(grid.get(), Qt::Key_Escape);
        EXPECT_FALSE(grid->BarDragging());
    }
    QTest::mouseRelease(View(), Qt::LeftButton, c.atDrop, At(c.to, c.toRow));
    ASSERT_EQ(drops.size(), c.drop.row != 0 ? 1u : 0u);
    if (c.drop.row != 0) {
        const auto& d = drops[0];
        EXPECT_EQ(std::tuple(d.row, d.bar, d.toRow, d.start, d.end, d.edge, d.copy),
                  std::tuple(c.drop.row, c.drop.bar, c.drop.toRow, c.drop.start + kMonday * kDay,
                             c.drop.end + kMonday * kDay, c.drop.edge, c.drop.copy));
    }
    EXPECT_EQ(notes.isEmpty() ? QString() : notes.last()[0].toString(), c.note);
    EXPECT_EQ(grid->SelectedBar(), (ScheduleGrid::Hit{2, 1}));
    EXPECT_EQ(grid->BarStartMinute(2, 1), 540) << "the grid moves no bar itself";
}

using Edge = IBarPlacer::Edge;
INSTANTIATE_TEST_SUITE_P(
    Drags, GridBarDragTest,
    ::testing::Values(
        BarDragCase{"AlongTheRowSnapped", 600, 700, 2, {}, false, {2, 1, 2, 630, 750}, ""},
        BarDragCase{"ToAnotherRow", 600, 600, 1, {}, false, {2, 1, 1, 540, 660}, ""},
        BarDragCase{
            "ByTheStartOnItsOwnRow", 542, 480, 1, {}, false, {2, 1, 2, 480, 660, Edge::Start}, ""},
        BarDragCase{"ByTheEnd", 657, 740, 2, {}, false, {2, 1, 2, 540, 750, Edge::End}, ""},
        BarDragCase{
            "HeldToTheLongest", 657, 1000, 2, {}, false, {2, 1, 2, 540, 780, Edge::End}, ""},
        BarDragCase{"CtrlAtTheDropCopies",
                    600,
                    700,
                    2,
                    Qt::ControlModifier,
                    false,
                    {2, 1, 2, 630, 750, Edge::Whole, true},
                    ""},
        BarDragCase{"OntoATakenRowStillDropsAndTheNoteEnds",
                    600,
                    600,
                    3,
                    {},
                    false,
                    {2, 1, 3, 540, 660},
                    ""},
        BarDragCase{"EscapeCancels", 600, 700, 2, {}, true, {}, ""},
        BarDragCase{"ATwitchIsAClick", 600, 603, 2, {}, false, {}, ""}),
    kCaseName);

// Mid-drag the bar is drawn where the placer puts it, a taken place hatched in red, and the
// note names what is in the way until the bar leaves it.
TEST_F(GridBarDragTest, TheDraggedBarShowsWhereItGoesAndWhetherItCollides) {
    QSignalSpy notes(grid.get(), &ScheduleGrid::BarDragNote);
    const auto redAt = [this](int minute, int row) {
        const QImage image = Render();
        const QPoint p = At(minute, row) + QPoint(0, -grid->RowHeight() / 2 + 5);
        const QColor c = image.pixelColor(p);
        return c.red() > 180 && c.green() < 60 && c.blue() < 60;
    };
    QTest::mousePress(View(), Qt::LeftButton, {}, At(600, 2));
    QTest::mouseMove(View(), At(600, 3));
    QTest::mouseMove(View(), At(701, 3));
    EXPECT_EQ(notes, (QList<QVariantList>{{"Collides with Busy"}}));
    EXPECT_TRUE(redAt(631, 3)) << "outlined from the snapped start";
    EXPECT_FALSE(redAt(629, 3)) << "not from where the pointer would put it";
    QTest::mouseMove(View(), At(700, 1));
    EXPECT_EQ(notes.last(), QVariantList{""});
    EXPECT_FALSE(redAt(631, 1));
    EXPECT_FALSE(redAt(631, 3));
}

// Moves, clicks and double-clicks on a bar raise its events with row and bar and select its
// row; a right click counts only when pressed and released on the same bar.
TEST_F(ScheduleGridTest, PointerAndClicksOverABarRaiseItsEventsWithRowAndBar) {
    AddRows(3);
    grid->AddBar(2, 540, 720, kMonday, kMonday);
    grid->AddBar(2, 540, 720, kMonday + 1, kMonday + 1);
    QSignalSpy moves(grid.get(), &ScheduleGrid::ItemMove);
    QTest::mouseMove(View(), At(kDay + 600, 2));
    QTest::mouseMove(View(), At(kDay + 630, 2));
    EXPECT_EQ(moves, (QList<QVariantList>{{2, 2}})) << "once while over the same bar";
    QTest::mouseMove(View(), At(kDay + 840, 2));
    EXPECT_EQ(moves.last(), (QVariantList{2, 0}));
    QTest::mouseMove(View(), QPoint(grid->ListWidth() + 50, 5)); // the ruler
    EXPECT_EQ(moves.last(), (QVariantList{0, 0}));

    QSignalSpy left(grid.get(), &ScheduleGrid::BarLeftClick);
    QSignalSpy twice(grid.get(), &ScheduleGrid::BarDblClick);
    QSignalSpy right(grid.get(), &ScheduleGrid::BarRightClick);
    QSignalSpy added(grid.get(), &ScheduleGrid::BarAdded);
    const QList<QVariantList> once{{2, 2}};
    const QPoint at = At(kDay + 630, 2);
    const std::pair<QSignalSpy*, std::function<void()>> clicks[] = {
        {&left, [&] { QTest::mouseClick(View(), Qt::LeftButton, {}, at); }},
        {&twice, [&] { QTest::mouseDClick(View(), Qt::LeftButton, {}, at); }},
        {&right, [&] { QTest::mouseClick(View(), Qt::RightButton, {}, at); }}};
    for (const auto& [spy, click] : clicks) {
        grid->SetCurrentRow(0);
        grid->SetSelectedBar(0, 0);
        click();
        EXPECT_EQ(*spy, once); // a double click begins with a click: left is checked before
        EXPECT_EQ(grid->CurrentRow(), 2);
        EXPECT_EQ(grid->SelectedBar(), (ScheduleGrid::Hit{2, 2}));
    }
    left.clear();
    QTest::mousePress(View(), Qt::RightButton, {}, At(630, 2));
    QTest::mouseRelease(View(), Qt::RightButton, {}, at);
    QTest::mousePress(View(), Qt::RightButton, {}, at);
    QTest::mouseRelease(View(), Qt::RightButton, {}, At(kDay + 840, 2));
    EXPECT_EQ(right, once) << "pressed on one bar and released elsewhere";
    EXPECT_EQ(left.count() + added.count(), 0);
}

TEST_F(ScheduleGridTest, ClicksSelectRowsWithoutDrawingAndTheSelectionSurvivesARebuild) {
    AddRows(5);
    QSignalSpy added(grid.get(), &ScheduleGrid::BarAdded);
    QSignalSpy focus(grid.get(), &ScheduleGrid::GotFocus);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(grid.get(), &focusIn);
    EXPECT_EQ(focus.count(), 1);
    QTest::mouseClick(View(), Qt::LeftButton, {}, QPoint(10, At(0, 3).y()));
    EXPECT_EQ(grid->CurrentRow(), 3) << "click on the row title";
    QTest::mouseClick(View(), Qt::LeftButton, {}, At(kDay + 600, 4));
    EXPECT_EQ(grid->CurrentRow(), 4) << "click on an empty part of the row";
    EXPECT_EQ(added.count(), 0) << "a click without dragging draws nothing";
    const std::optional<ScheduleGrid::Spot> clicked = grid->LastClick();
    ASSERT_TRUE(clicked.has_value()) << "the title's click is no place";
    EXPECT_EQ(std::pair(clicked->row, clicked->day), std::pair(4, kMonday + 1));
    EXPECT_NEAR(clicked->minute, 600, 8) << "a pixel is 7.5 minutes";
    grid->ClearAll(); // rebuilt in another order: the selection follows the row's data
    EXPECT_EQ(grid->LastClick(), clicked);
    EXPECT_EQ(grid->CurrentRow(), 0);
    for (int data : {105, 104, 101}) {
        grid->SetRowData(grid->AddRow("x"), data);
    }
    EXPECT_EQ(grid->CurrentRow(), 2);
    grid->ClearAll(); // rebuilt without that row: nothing is selected
    grid->SetRowData(grid->AddRow("x"), 101);
    EXPECT_EQ(grid->CurrentRow(), 0);
}

TEST_F(ScheduleGridTest, WheelScrollsAndDownSelectsTheFirstRowWhenNoneIs) {
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
    EXPECT_EQ(grid->CurrentRow(), 1);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 0) << "scrolled back to show it";
}

// Keys with a known view: 50 rows, 8 shown, row 20 selected, the view scrolled to the
// middle of the week. Page Up and Page Down move by the rows shown less one.
enum Scroll { ToStart, Back, Unchanged, On, ToEnd };
struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    int row; // the selected row after the key
    Scroll scroll;
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
    ASSERT_EQ((View()->height() - grid->RulerHeight()) / grid->RowHeight(), 8);
    QTest::keyClick(grid.get(), static_cast<Qt::Key>(c.key), c.modifiers);
    EXPECT_EQ(grid->CurrentRow(), c.row);
    const int after = h->value();
    EXPECT_EQ(after == h->minimum()   ? ToStart
              : after == h->maximum() ? ToEnd
              : after < before        ? Back
              : after > before        ? On
                                      : Unchanged,
              c.scroll);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridKeyTest,
    ::testing::Values(KeyCase{"Up", Qt::Key_Up, {}, 19, Unchanged},
                      KeyCase{"Down", Qt::Key_Down, {}, 21, Unchanged},
                      KeyCase{"PageUp", Qt::Key_PageUp, {}, 13, Unchanged},
                      KeyCase{"PageDown", Qt::Key_PageDown, {}, 27, Unchanged},
                      KeyCase{"Home", Qt::Key_Home, {}, 20, ToStart},
                      KeyCase{"End", Qt::Key_End, {}, 20, ToEnd},
                      KeyCase{"CtrlHome", Qt::Key_Home, Qt::ControlModifier, 1, Unchanged},
                      KeyCase{"CtrlEnd", Qt::Key_End, Qt::ControlModifier, 50, Unchanged},
                      KeyCase{"Left", Qt::Key_Left, {}, 20, Back},
                      KeyCase{"Right", Qt::Key_Right, {}, 20, On}),
    kCaseName);

// Tab walks the bars in time order, row after row, from the selected bar or the current row's
// edge; past the last (or before the first) the focus moves on to the next widget.
struct TabCase {
    const char* name;
    ScheduleGrid::Hit selected; // none: the current row is given instead
    int currentRow;
    bool back;
    ScheduleGrid::Hit expected;
    bool leaves;
};
void PrintTo(const TabCase& c, std::ostream* os) {
    *os << c.name;
}
class GridTabTest : public ::testing::TestWithParam<TabCase> {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&host);
        layout->addWidget(before);
        layout->addWidget(grid);
        layout->addWidget(after);
        host.resize(1200, 400);
        grid->SetResolution(8);
        grid->SetDateFirst(kMonday);
        grid->SetDateLast(kMonday + 6);
        for (int i = 1; i <= 3; ++i) {
            grid->AddRow(QString("Room %1").arg(i));
        }
        grid->AddBar(1, 540, 600, kMonday + 1, kMonday + 1); // Tuesday, added first
        grid->AddBar(1, 540, 600, kMonday, kMonday);
        grid->AddBar(3, 600, 660, kMonday + 2, kMonday + 2);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        host.activateWindow();
        grid->setFocus();
        ASSERT_TRUE(grid->hasFocus());
    }
    QWidget host;
    QLineEdit* before = new QLineEdit(&host);
    ScheduleGrid* grid = new ScheduleGrid(&host);
    QLineEdit* after = new QLineEdit(&host);
};

TEST_P(GridTabTest, SelectsTheNextBarOrMovesOn) {
    const TabCase& c = GetParam();
    c.selected.bar > 0 ? grid->SetSelectedBar(c.selected.row, c.selected.bar)
                       : grid->SetCurrentRow(c.currentRow);
    QSignalSpy selected(grid, &ScheduleGrid::BarKeySelect);
    QTest::keyClick(grid, Qt::Key_Tab, c.back ? Qt::ShiftModifier : Qt::NoModifier);
    EXPECT_EQ(grid->SelectedBar(), c.expected);
    if (c.leaves) {
        EXPECT_TRUE((c.back ? before : after)->hasFocus());
        EXPECT_EQ(selected.count(), 0);
    } else {
        EXPECT_TRUE(grid->hasFocus());
        EXPECT_EQ(selected, (QList<QVariantList>{{c.expected.row, c.expected.bar}}));
        EXPECT_EQ(grid->CurrentRow(), c.expected.row);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridTabTest,
    ::testing::Values(TabCase{"FirstBarFromNothing", {}, 0, false, {1, 2}, false},
                      TabCase{"InTimeOrderNotAsAdded", {1, 2}, 0, false, {1, 1}, false},
                      TabCase{"OnPastAnEmptyRow", {1, 1}, 0, false, {3, 1}, false},
                      TabCase{"LeavesAfterTheLastBar", {3, 1}, 0, false, {3, 1}, true},
                      TabCase{"BackAcrossRows", {3, 1}, 0, true, {1, 1}, false},
                      TabCase{"BackWithinARow", {1, 1}, 0, true, {1, 2}, false},
                      TabCase{"LeavesBackBeforeTheFirstBar", {1, 2}, 0, true, {1, 2}, true},
                      TabCase{"FromTheCurrentRow", {}, 3, false, {3, 1}, false},
                      TabCase{"BackFromTheCurrentRow", {}, 2, true, {1, 1}, false},
                      TabCase{"LastBarFromNothing", {}, 0, true, {3, 1}, false}),
    kCaseName);

// The bar Tab reaches is brought into view, its row and all its time, both ways: one far
// off, one starting just inside the right edge.
TEST_F(ScheduleGridTest, TabScrollsTheBarItSelectsIntoView) {
    AddRows(50);
    grid->SetResolution(30);
    const QRect data(grid->ListWidth(), grid->RulerHeight(), View()->width() - grid->ListWidth(),
                     View()->height() - grid->RulerHeight());
    const int edge = 2 * data.width() - 10; // the minute 5 pixels left of the right edge
    grid->AddBar(2, edge % kDay, (edge + 60) % kDay, kMonday + edge / kDay,
                 kMonday + (edge + 60) / kDay);
    grid->AddBar(40, 1200, 1260, kMonday + 6, kMonday + 6);
    grid->activateWindow();
    grid->setFocus();
    const std::pair<Qt::KeyboardModifiers, ScheduleGrid::Hit> steps[] = {
        {Qt::NoModifier, {2, 1}}, {Qt::NoModifier, {40, 1}}, {Qt::ShiftModifier, {2, 1}}};
    for (const auto& [modifiers, hit] : steps) {
        QTest::keyClick(grid.get(), Qt::Key_Tab, modifiers);
        ASSERT_EQ(grid->SelectedBar(), hit);
        EXPECT_TRUE(data.contains(grid->BarRect(hit.row, hit.bar))) << hit.row;
    }
}

// Enter edits and Delete deletes the selected bar; without one the keys go by.
TEST_F(ScheduleGridTest, EnterAndDeleteActOnTheSelectedBar) {
    AddRows(2);
    grid->AddBar(2, 540, 600, kMonday, kMonday);
    QSignalSpy edit(grid.get(), &ScheduleGrid::BarKeyEdit);
    QSignalSpy remove(grid.get(), &ScheduleGrid::BarKeyDelete);
    const std::pair<Qt::Key, QSignalSpy*> keys[] = {
        {Qt::Key_Return, &edit}, {Qt::Key_Enter, &edit}, {Qt::Key_Delete, &remove}};
    for (const auto& [key, spy] : keys) {
        SCOPED_TRACE(key);
        edit.clear();
        remove.clear();
        grid->SetSelectedBar(0, 0);
        QTest::keyClick(grid.get(), key);
        EXPECT_EQ(edit.count() + remove.count(), 0);
        grid->SetSelectedBar(2, 1);
        QTest::keyClick(grid.get(), key);
        EXPECT_EQ(*spy, (QList<QVariantList>{{2, 1}}));
        EXPECT_EQ(edit.count() + remove.count(), 1);
    }
}

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
    for (int16_t asked : {int16_t{30000}, int16_t{0}}) {
        grid->SetResolution(asked);
        EXPECT_EQ(grid->Resolution(),
                  asked ? ScheduleGrid::ResolutionMaximum() : ScheduleGrid::ResolutionMinimum());
    }
}

TEST_F(ScheduleGridTest, BarsInHiddenHoursAreNeitherShownNorHit) {
    grid->SetDayStartMinute(8 * 60);
    grid->SetDayEndMinute(18 * 60);
    AddRows(1);
    const int hidden = grid->AddBar(1, 20 * 60, 22 * 60, kMonday, kMonday);
    const int partly = grid->AddBar(1, 17 * 60, 20 * 60, kMonday + 1, kMonday + 1);
    EXPECT_TRUE(grid->BarRect(1, hidden).isEmpty());
    EXPECT_EQ(grid->HitTest(At(21 * 60, 1)).bar, 0);
    EXPECT_EQ(grid->BarRect(1, partly).right() + 1, At(2 * kDay + 8 * 60, 1).x())
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
}

// Every day of a week, Monday first: only Saturday and Sunday are shaded, in the data area
// and in the ruler's day band. Bars are filled in their colour, row titles drawn.
TEST_F(ScheduleGridTest, WeekendsBarsAndRowTitlesArePaintedInTheirColours) {
    grid->SetResolution(6); // the whole week in view
    AddRows(3);
    grid->SetWeekendColor(0x00C0C0C0);
    grid->SetListBackColor(0x00F0F0F0);
    grid->SetBackColor(0x00FFFFFF);
    grid->SetTimeLines(false);
    const int bar = grid->AddBar(2, 9 * 60, 15 * 60, kMonday + 1, kMonday + 1);
    grid->SetBarColor(2, bar, 0x000000FF);
    const QImage image = Render();
    for (int i = 0; i < 7; ++i) { // Monday first
        const bool weekend = i >= 5;
        EXPECT_EQ(QColor(image.pixel(At(i * kDay + 720, 3))), weekend ? kGrey : kWhite) << i;
        const QColor band(image.pixel(At(i * kDay + 360, 1).x(), 3));
        EXPECT_EQ(band != ColorRefToQColor(grid->RulerColor()), weekend) << i << " ruler";
    }
    const QRect box = grid->BarRect(2, bar);
    EXPECT_EQ(QColor(image.pixel(box.center())), kRed);
    EXPECT_EQ(QColor(image.pixel(At(kDay + 17 * 60 + 15, 2))), kWhite);
    int ink = 0; // the row title: pixels of its cell differ from the list background
    for (int x = 0; x < grid->ListWidth() - 2; ++x) {
        for (int dy = -6; dy <= 6; ++dy) {
            ink += QColor(image.pixel(x, At(0, 1).y() + dy)) != QColor(240, 240, 240) ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 20);
}

// At 125%, 150% and 200% a bar's fill must end where its outline ends: no strip of fill
// right of or below it.
TEST_F(ScheduleGridTest, BarFillStaysInsideItsOutlineAtAnyScale) {
    AddRows(2);
    grid->SetBackColor(0x00FFFFFF);
    grid->SetTimeLines(false);
    const int bar = grid->AddBar(1, 9 * 60 + 7, 15 * 60 + 11, kMonday + 1, kMonday + 1);
    grid->SetBarColor(1, bar, 0x000000FF);
    const QRect box = grid->BarRect(1, bar);
    for (double scale : {1.0, 1.25, 1.5, 2.0}) {
        SCOPED_TRACE(scale);
        const QImage image = Render(scale);
        const int midX = static_cast<int>(box.center().x() * scale);
        const int midY = static_cast<int>(box.center().y() * scale);
        // Walking in from beyond the bar, the first pixel of the bar is its outline.
        int x = static_cast<int>((box.right() + 3) * scale);
        while (QColor(image.pixel(x, midY)) == kWhite) {
            --x;
        }
        EXPECT_NE(QColor(image.pixel(x, midY)), kRed) << "fill right of the outline at " << x;
        int y = static_cast<int>((box.bottom() + 3) * scale);
        while (QColor(image.pixel(midX, y)) == kWhite) {
            --y;
        }
        EXPECT_NE(QColor(image.pixel(midX, y)), kRed) << "fill below the outline at " << y;
        EXPECT_EQ(QColor(image.pixel(midX, midY)), kRed);
    }
}

// A type's text colour that would not read on its bar gives way to black or white, on
// screen only; one that reads is kept.
TEST_F(ScheduleGridTest, BarTextReadsWhateverTheTypesColours) {
    const QColor navy(0, 0, 128);
    const struct {
        QColor back, ink, shown;
    } rows[] = {{Qt::yellow, Qt::white, Qt::black},
                {navy, Qt::black, Qt::white},
                {QColor(128, 128, 128), QColor(120, 120, 120), Qt::black},
                {Qt::yellow, navy, navy},
                {Qt::blue, Qt::white, Qt::white}};
    for (const auto& r : rows) {
        EXPECT_EQ(ScheduleGridPainter::ReadableInk(r.back, r.ink), r.shown)
            << r.back.name().toStdString() << " " << r.ink.name().toStdString();
    }
    AddRows(1);
    const int bar = grid->AddBar(1, 9 * 60, 15 * 60, kMonday, kMonday);
    grid->SetBarColor(1, bar, 0x0000FFFF);     // yellow
    grid->SetBarTextColor(1, bar, 0x00FFFFFF); // white
    grid->SetBarText(1, bar, "Hal Brenner");
    grid->SetBarData(1, bar, 7);
    const QImage image = Render();
    const QRect inside = grid->BarRect(1, bar).adjusted(3, 3, -3, -3);
    int darkest = 255;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            darkest = std::min(darkest, QColor(image.pixel(x, y)).lightness());
        }
    }
    EXPECT_LT(darkest, 80) << "the text is drawn dark on the yellow bar";
    EXPECT_EQ(grid->BarTextColor(1, bar), 0x00FFFFFFu) << "the stored colour is kept";
}

// The selected bar has an outline that stands out from the grid and a ring that stands out
// from its own colour, dark or light; the focus shows as a frame round the grid.
TEST_F(ScheduleGridTest, TheSelectedBarAndTheFocusShowWhateverTheColours) {
    AddRows(2);
    grid->SetBackColor(0x00FFFFFF);
    grid->SetTimeLines(false);
    const uint32_t colours[] = {0x00800000, 0x0000FFFF}; // navy, yellow
    for (int row : {1, 2}) {
        grid->SetBarColor(row, grid->AddBar(row, 9 * 60, 15 * 60, kMonday, kMonday),
                          colours[row - 1]);
    }
    for (int row : {1, 2}) {
        SCOPED_TRACE(row);
        const QColor fill = ColorRefToQColor(colours[row - 1]);
        const QRect box = grid->BarRect(row, 1);
        const QPoint edge(box.left(), box.center().y());
        const QPoint ring = edge + QPoint(2, 0);
        EXPECT_EQ(QColor(Render().pixel(ring)), fill) << "not selected";
        grid->SetSelectedBar(row, 1);
        const QImage image = Render();
        EXPECT_EQ(QColor(image.pixel(edge)), QColor(Qt::black)) << "against the white grid";
        EXPECT_EQ(QColor(image.pixel(ring)), ScheduleGridPainter::Contrast(fill));
        EXPECT_NE(ScheduleGridPainter::Contrast(fill), fill);
    }
    const QPoint frame(1, View()->height() / 2); // below the rows
    grid->clearFocus();
    EXPECT_EQ(QColor(Render().pixel(frame)), ColorRefToQColor(grid->ListBackColor()));
    grid->activateWindow();
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());
    EXPECT_EQ(QColor(Render().pixel(frame)), grid->palette().color(QPalette::Highlight));
}

// An hour label shows whole or not at all where the view cuts through it.
TEST_F(ScheduleGridTest, RulerLabelsAtTheEdgesShowWholeOrNotAtAll) {
    AddRows(1);
    grid->SetRuler24Hour(true);
    grid->SetResolution(60); // a pixel a minute, a label an hour
    const QColor ruler = ColorRefToQColor(grid->RulerColor());
    const int width = View()->width() - 2; // inside the focus frame
    // The 10:00 tick on Tuesday so far inside the left or the right edge.
    const struct {
        bool right;
        int tickFromEdge;
        bool inked;
    } rows[] = {{false, -5, false}, {false, 10, true}, {true, 10, false}, {true, 50, true}};
    for (const auto& [right, tickFromEdge, inked] : rows) {
        SCOPED_TRACE(::testing::Message() << right << " " << tickFromEdge);
        const int tick = right ? width - tickFromEdge : grid->ListWidth() + tickFromEdge;
        grid->horizontalScrollBar()->setValue(grid->ListWidth() + kDay + 600 - tick);
        const QImage image = Render();
        int ink = 0;
        for (int y = grid->RulerHeight() / 2 + 2; y < grid->RulerHeight() - 8; ++y) {
            for (int x = right ? tick : grid->ListWidth(); x < (right ? width : tick + 45); ++x) {
                ink += QColor(image.pixel(x, y)) != ruler ? 1 : 0;
            }
        }
        EXPECT_EQ(ink > 0, inked);
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

// Asking where things are changes nothing, also while the scroll ranges wait for the next
// layout after a rebuild.
TEST_F(ScheduleGridTest, GeometryQueriesLeaveTheViewAlone) {
    AddRows(40);
    grid->ScrollToTime(kMonday + 4, 600);
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    const int h = grid->horizontalScrollBar()->value();
    const int v = grid->verticalScrollBar()->value();
    grid->ClearAll();
    AddRows(2);
    const ScheduleGrid& shown = *grid;
    EXPECT_EQ(shown.HitTest(shown.PointFor(kMonday + 4, 600, 1)).row, 0)
        << "row 1 lies above the view until it is laid out";
    EXPECT_TRUE(shown.BarRect(1, 1).isEmpty());
    EXPECT_EQ(std::pair(grid->horizontalScrollBar()->value(), grid->verticalScrollBar()->value()),
              std::pair(h, v));
}

} // namespace
