#include "grid/ScheduleGridAccessible.h"
#include "grid/ScheduleGrid.h"

#include <QAccessible>
#include <QDate>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const int32_t kMonday = static_cast<int32_t>(QDate(1900, 1, 1).daysTo(QDate(2026, 12, 7)));

struct Heard {
    QAccessible::Event type;
    QAccessible::Role role;
    QString name;
};
std::vector<Heard> heard;
void Listen(QAccessibleEvent* event) {
    QAccessibleInterface* iface = event->accessibleInterface();
    heard.push_back({event->type(), iface ? iface->role() : QAccessible::NoRole,
                     iface ? iface->text(QAccessible::Name) : QString()});
}

// A week at 8 px an hour, 30 rows of which the view shows about a dozen; a screen reader
// listening unless a test says otherwise.
class GridAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ScheduleGridAccessible::SetListener(Listen);
        grid->resize(1200, 400);
        grid->SetResolution(8);
        grid->SetDateFirst(kMonday);
        grid->SetDateLast(kMonday + 6);
        grid->SetListTitle("Rooms");
        Fill();
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
        heard.clear();
    }
    void TearDown() override {
        ScheduleGridAccessible::SetListener(nullptr);
        heard.clear();
    }
    // Each row holds a bar on Tuesday, an hour or more long; row 2 one more, given first, on
    // Thursday.
    void Fill() {
        grid->ClearAll();
        for (int r = 1; r <= 30; ++r) {
            grid->AddRow(QString("Room %1").arg(r));
            if (r == 2) {
                grid->AddBar(r, 600, 660, kMonday + 3, kMonday + 3);
            }
            grid->AddBar(r, 540 + 60 * (r % 10), 630 + 60 * (r % 10), kMonday + 1, kMonday + 1);
        }
        grid->SetBarText(2, 1, "  Hal Brenner ");
    }
    QAccessibleInterface* Root() { return QAccessible::queryAccessibleInterface(grid.get()); }
    bool HeardFocusOn(const QString& name) {
        return std::any_of(heard.begin(), heard.end(), [&](const Heard& h) {
            return h.type == QAccessible::Focus && h.role == QAccessible::ListItem &&
                   h.name == name;
        });
    }

    std::unique_ptr<ScheduleGrid> grid = std::make_unique<ScheduleGrid>();
};

TEST_F(GridAccessibleTest, ChildrenAreTheTitleRulerRowsAndTheBarsDrawn) {
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
    QImage image(grid->viewport()->size(), QImage::Format_ARGB32);
    grid->viewport()->render(&image);
    QAccessibleInterface* root = Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->role(), QAccessible::Pane);
    EXPECT_EQ(root->child(0)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(root->child(0)->text(QAccessible::Name), "Rooms");
    EXPECT_EQ(root->child(1)->text(QAccessible::Description),
              "Monday 7 December 2026 to Sunday 13 December 2026, 00:00 to 24:00");
    int shownBars = 0;
    for (int row = 1; row <= grid->RowCount(); ++row) {
        QAccessibleInterface* list = root->child(row + 1);
        ASSERT_EQ(list->role(), QAccessible::List);
        EXPECT_EQ(list->text(QAccessible::Name), grid->RowText(row));
        EXPECT_EQ(root->indexOfChild(list), row + 1);
        ASSERT_EQ(list->childCount(), grid->BarCount(row));
        QDateTime previous;
        for (int i = 0; i < list->childCount(); ++i) {
            QAccessibleInterface* bar = list->child(i);
            ASSERT_EQ(bar->role(), QAccessible::ListItem);
            EXPECT_EQ(list->indexOfChild(bar), i);
            EXPECT_EQ(bar->parent(), root);
            EXPECT_TRUE(bar->state().focusable && bar->state().selectable);
            if (bar->state().invisible) {
                EXPECT_TRUE(bar->rect().isEmpty()) << row;
                continue;
            }
            ++shownBars;
            EXPECT_TRUE(list->rect().contains(bar->rect())) << row;
            EXPECT_EQ(root->childAt(bar->rect().center().x(), bar->rect().center().y()), bar);
        }
    }
    EXPECT_EQ(shownBars, grid->PaintedBarCount());
    EXPECT_GT(shownBars, 5);
    EXPECT_LT(shownBars, 31) << "rows scrolled away are offscreen";
    // In time order, not as added.
    EXPECT_TRUE(root->child(3)->child(0)->text(QAccessible::Name).contains("Tuesday"));
}

TEST_F(GridAccessibleTest, BarNamesSayRowDaysTimesAndTheOwnersWords) {
    const struct {
        int startDay, startMinute, endDay, endMinute;
        const char* text;
        const char* expected;
    } cases[] = {
        {1, 540, 1, 630, "Hal Brenner, Interview",
         "Room 1, Tuesday 8 December 09:00 to 10:30, Hal Brenner, Interview"},
        {1, 1320, 2, 120, "x", "Room 1, Tuesday 8 December 22:00 to Wednesday 9 December 02:00, x"},
        {1, 1320, 2, 0, "", "Room 1, Tuesday 8 December 22:00 to 24:00"},
        {2, 600, 1, 1500, "", "Room 1, Wednesday 9 December 01:00 to 10:00"}, // given backwards
    };
    for (const auto& c : cases) {
        grid->ClearBars(1);
        grid->AddBar(1, c.startMinute, c.endMinute, kMonday + c.startDay, kMonday + c.endDay);
        grid->SetBarData(1, 1, 7);
        grid->SetBarSpeech([&c](int32_t data) { return data == 7 ? c.text : "wrong bar"; });
        EXPECT_EQ(Root()->child(2)->child(0)->text(QAccessible::Name), c.expected);
    }
    grid->SetBarSpeech(nullptr);
    EXPECT_TRUE(Root()->child(3)->child(1)->text(QAccessible::Name).endsWith(", Hal Brenner"))
        << "without the owner's words, the bar's text";
}

TEST_F(GridAccessibleTest, KeyboardSelectionIsAnnouncedAsFocus) {
    grid->activateWindow();
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    ASSERT_EQ(grid->SelectedBar(), (ScheduleGrid::Hit{1, 1}));
    const QString first = ScheduleGridAccessible::BarName(*grid, 1, 1);
    EXPECT_TRUE(HeardFocusOn(first));
    QAccessibleInterface* bar = Root()->child(2)->child(0);
    EXPECT_TRUE(bar->state().focused && bar->state().selected);
    EXPECT_EQ(Root()->focusChild(), bar);

    QTest::keyClick(grid.get(), Qt::Key_Tab);
    EXPECT_TRUE(HeardFocusOn(ScheduleGridAccessible::BarName(*grid, 2, 2)));
    EXPECT_FALSE(bar->state().selected);

    // Down to a row without the selected bar speaks the row; back up, the bar again.
    heard.clear();
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QAccessibleInterface* row3 = Root()->child(4);
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.back().type, QAccessible::Focus);
    EXPECT_EQ(heard.back().name, "Room 3");
    EXPECT_EQ(Root()->focusChild(), row3);
    EXPECT_TRUE(row3->state().focused);
    QTest::keyClick(grid.get(), Qt::Key_Up);
    EXPECT_FALSE(row3->state().focused);
    EXPECT_EQ(heard.back().name, ScheduleGridAccessible::BarName(*grid, 2, 2));

    // Coming back to the grid speaks the bar still selected, after Qt has spoken the grid.
    grid->clearFocus();
    QAccessibleInterface* second = Root()->child(3)->child(0);
    EXPECT_TRUE(second->state().selected && !second->state().focused);
    heard.clear();
    grid->setFocus();
    EXPECT_TRUE(heard.empty());
    QCoreApplication::processEvents();
    EXPECT_TRUE(HeardFocusOn(ScheduleGridAccessible::BarName(*grid, 2, 2)));
}

TEST_F(GridAccessibleTest, ARebuildLeavesNoInterfaceOfARemovedBar) {
    QAccessibleInterface* bar = Root()->child(3)->child(1);
    const QAccessible::Id id = QAccessible::uniqueId(bar);
    ASSERT_EQ(QAccessible::accessibleInterface(id), bar);
    grid->ClearBars(2);
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr) << "gone with its bar";
    Fill();
    QCoreApplication::processEvents();
    const auto reorders = std::count_if(heard.begin(), heard.end(), [](const Heard& h) {
        return h.type == QAccessible::ObjectReorder && h.role == QAccessible::Pane;
    });
    EXPECT_EQ(reorders, 1) << "one for the whole rebuild";

    // Changed while nobody listened: what was handed out reads as gone.
    QAccessibleInterface* kept = Root()->child(3)->child(0);
    ScheduleGridAccessible::SetListener(nullptr);
    grid->ClearBars(2);
    EXPECT_FALSE(kept->isValid());
    EXPECT_TRUE(kept->text(QAccessible::Name).isEmpty());
}

TEST_F(GridAccessibleTest, NothingIsMadeOrSentWhileNoReaderListens) {
    ScheduleGridAccessible::SetListener(nullptr);
    const int64_t made = ScheduleGridAccessible::PartsMade();
    Fill();
    grid->activateWindow();
    grid->setFocus();
    QTest::keyClick(grid.get(), Qt::Key_Tab);
    grid->SetSelectedBar(3, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(ScheduleGridAccessible::PartsMade(), made);
    EXPECT_FALSE(std::any_of(heard.begin(), heard.end(), [](const Heard& h) {
        return h.role == QAccessible::ListItem || h.type == QAccessible::ObjectReorder;
    }));
}

} // namespace
