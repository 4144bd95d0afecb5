#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/MultiColumnList.h"
#include "controls/MultiColumnListModel.h"
#include "controls/Twips.h"

namespace {

// A list as the bulk delete uses it: a mark column, then three texts.
class MultiColumnListTest : public ::testing::Test {
protected:
    void SetUp() override {
        list.AddColumn("X", 30, true);
        list.AddColumn("Date/Time", 100);
        list.AddColumn("Customer", 120);
        list.AddColumn("Type", 120);
        list.resize(420, 300);
        list.show();
        for (int i = 0; i < 5; ++i) {
            const int row =
                list.AddItem(QStringLiteral(";0%1/03/01 09:00;Customer %1;Meeting").arg(i));
            list.SetItemData(row, 100 + i);
        }
    }
    QPoint CellCentre(int row, int column) {
        return list.visualRect(list.Model()->index(row, column)).center();
    }
    void Click(int row, int column) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CellCentre(row, column));
    }
    // As the window system delivers one: a click, then the second press as a double click.
    void DoubleClick(int row, int column) {
        Click(row, column);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, CellCentre(row, column));
    }

    MultiColumnList list;
};

TEST_F(MultiColumnListTest, RowsComeFromSeparatedTextAndCarryTheirData) {
    EXPECT_EQ(list.ListCount(), 5);
    EXPECT_EQ(list.ItemText(2, 1), "");
    EXPECT_EQ(list.ItemText(2, 2), "02/03/01 09:00");
    EXPECT_EQ(list.ItemText(2, 3), "Customer 2");
    EXPECT_EQ(list.ItemText(2, 4), "Meeting");
    EXPECT_EQ(list.ItemData(4), 104);
    EXPECT_EQ(list.ItemData(5), 0) << "past the last row";
    // Fewer values than columns leave the rest empty; more are not shown.
    const int shorter = list.AddItem("a;b");
    const int longer = list.AddItem("a;b;c;d;e");
    EXPECT_EQ(list.ItemText(shorter, 3), "");
    EXPECT_EQ(list.ItemText(longer, 4), "d");
    EXPECT_EQ(list.Model()->data(list.Model()->index(longer, 3), Qt::DisplayRole).toString(), "d");
    list.Clear();
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(list.ListIndex(), -1);
}

TEST_F(MultiColumnListTest, ColumnWidthsAreInListUnits) {
    EXPECT_EQ(list.header()->sectionSize(0), TwipsToPixelsX(30 * 15, &list));
    EXPECT_EQ(list.header()->sectionSize(1), TwipsToPixelsX(100 * 15, &list));
    EXPECT_EQ(list.header()->sectionSize(2), TwipsToPixelsX(120 * 15, &list));
    EXPECT_EQ(list.Model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Type");
}

TEST_F(MultiColumnListTest, TheSelectedRowIsTheListIndex) {
    EXPECT_EQ(list.ListIndex(), -1);
    Click(3, 2);
    EXPECT_EQ(list.ListIndex(), 3);
    QTest::keyClick(list.viewport(), Qt::Key_Up);
    EXPECT_EQ(list.ListIndex(), 2);
    list.SetListIndex(4);
    EXPECT_EQ(list.ListIndex(), 4);
    list.SetListIndex(-1);
    EXPECT_EQ(list.ListIndex(), -1);
}

// A click anywhere in the mark cell turns the mark over; clicks elsewhere select only.
TEST_F(MultiColumnListTest, ClicksInTheMarkColumnSetAndClearMarks) {
    QSignalSpy changed(&list, &MultiColumnList::MarksChanged);
    Click(1, 0);
    Click(3, 0);
    Click(2, 2);
    EXPECT_EQ(list.ItemMark(1, 1), 1);
    EXPECT_EQ(list.ItemMark(2, 1), 0);
    EXPECT_EQ(list.ItemMark(3, 1), 1);
    EXPECT_EQ(list.ItemMark(1, 2), 0) << "only the mark column holds marks";
    EXPECT_EQ(list.MarkedCount(), 2);
    EXPECT_EQ(changed.count(), 2);
    Click(1, 0);
    EXPECT_EQ(list.ItemMark(1, 1), 0);
    // A quick double click turns it over twice and chooses nothing.
    QSignalSpy activated(&list, &MultiColumnList::ItemActivated);
    DoubleClick(4, 0);
    EXPECT_EQ(list.ItemMark(4, 1), 0);
    EXPECT_EQ(activated.count(), 0);
    EXPECT_EQ(list.Model()->data(list.Model()->index(3, 0), Qt::CheckStateRole), Qt::Checked);
}

TEST_F(MultiColumnListTest, SpaceMarksTheCurrentRowAndEnterOrDoubleClickChoosesIt) {
    list.setFocus();
    Click(2, 3);
    QTest::keyClick(list.viewport(), Qt::Key_Space);
    EXPECT_EQ(list.ItemMark(2, 1), 1);
    QTest::keyClick(list.viewport(), Qt::Key_Down);
    QTest::keyClick(list.viewport(), Qt::Key_Space);
    QTest::keyClick(list.viewport(), Qt::Key_Up);
    QTest::keyClick(list.viewport(), Qt::Key_Space);
    EXPECT_EQ(list.ItemMark(2, 1), 0);
    EXPECT_EQ(list.ItemMark(3, 1), 1);
    EXPECT_EQ(list.ListIndex(), 2);

    QSignalSpy activated(&list, &MultiColumnList::ItemActivated);
    QTest::keyClick(list.viewport(), Qt::Key_Return);
    DoubleClick(4, 2);
    ASSERT_EQ(activated.count(), 2);
    EXPECT_EQ(activated[0][0].toInt(), 2);
    EXPECT_EQ(activated[1][0].toInt(), 4);

    // Enter on the row with the focus frame chooses it even before it is selected.
    list.selectionModel()->setCurrentIndex(list.Model()->index(1, 0), QItemSelectionModel::Clear);
    ASSERT_EQ(list.ListIndex(), -1);
    QTest::keyClick(list.viewport(), Qt::Key_Enter);
    EXPECT_EQ(list.ListIndex(), 1);
    EXPECT_EQ(activated.count(), 3);
}

// Clearing drops the marks with the rows; new rows start unmarked.
TEST_F(MultiColumnListTest, ClearDropsTheMarks) {
    list.SetItemMark(0, 1, true);
    list.SetItemMark(0, 3, true);
    EXPECT_EQ(list.ItemMark(0, 3), 0) << "not a mark column";
    QSignalSpy changed(&list, &MultiColumnList::MarksChanged);
    list.Clear();
    EXPECT_EQ(changed.count(), 1);
    list.AddItem(";x;y;z");
    EXPECT_EQ(list.ItemMark(0, 1), 0);
    EXPECT_EQ(list.MarkedCount(), 0);
}

} // namespace
