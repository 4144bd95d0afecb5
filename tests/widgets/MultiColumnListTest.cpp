#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/Twips.h"
#include "widgets/MultiColumnList.h"
#include "widgets/MultiColumnListModel.h"

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
            list.SetItemData(list.AddItem(QString(";0%1/03/01 09:00;Customer %1;Meeting").arg(i)),
                             100 + i);
        }
    }
    QPoint Centre(int row, int column) {
        return list.visualRect(list.Model()->index(row, column)).center();
    }
    void Click(int row, int column) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, Centre(row, column));
    }
    // As the window system delivers one: a click, then the second press as a double click.
    void DoubleClick(int row, int column) {
        Click(row, column);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, Centre(row, column));
    }
    void Key(Qt::Key key) { QTest::keyClick(list.viewport(), key); }

    MultiColumnList list;
};

// Fewer values than columns leave the rest empty; more are not shown. Widths are in list
// units; clearing drops the rows, the selection and the marks.
TEST_F(MultiColumnListTest, RowsComeFromSeparatedTextAndCarryTheirData) {
    EXPECT_EQ(list.ListCount(), 5);
    EXPECT_EQ((QStringList{list.ItemText(2, 1), list.ItemText(2, 2), list.ItemText(2, 3),
                           list.ItemText(2, 4)}),
              (QStringList{"", "02/03/01 09:00", "Customer 2", "Meeting"}));
    EXPECT_EQ(std::tuple(list.ItemData(4), list.ItemData(5)), std::tuple(104, 0))
        << "5: past the end";
    const int shorter = list.AddItem("a;b");
    const int longer = list.AddItem("a;b;c;d;e");
    EXPECT_EQ((QStringList{list.ItemText(shorter, 3), list.ItemText(longer, 4)}),
              (QStringList{"", "d"}));
    EXPECT_EQ(list.Model()->data(list.Model()->index(longer, 3), Qt::DisplayRole).toString(), "d");
    EXPECT_EQ(list.Model()->data(list.Model()->index(shorter, 3), Qt::AccessibleTextRole), "blank")
        << "a screen reader skips an empty cell altogether";
    EXPECT_EQ(list.header()->sectionSize(0), TwipsToPixelsX(30 * 15, &list));
    EXPECT_EQ(list.header()->sectionSize(2), TwipsToPixelsX(120 * 15, &list));
    EXPECT_EQ(list.Model()->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Type");
    list.SetItemMark(0, 1, true);
    list.SetItemMark(0, 3, true);
    EXPECT_EQ(list.ItemMark(0, 3), 0) << "not a mark column";
    QSignalSpy changed(&list, &MultiColumnList::MarksChanged);
    list.SetListIndex(2);
    list.Clear();
    EXPECT_EQ(std::tuple(changed.count(), list.ListCount(), list.ListIndex()),
              std::tuple(1, 0, -1));
    list.AddItem(";x;y;z");
    EXPECT_EQ(list.MarkedCount(), 0);
}

// Fitting a column to a sample widens that column only (the last one takes what is left), and
// never narrows it.
TEST_F(MultiColumnListTest, FitColumnToWidensThatColumnOnly) {
    const auto widths = [this] {
        QList<int> w;
        for (int c = 0; c < 4; ++c) {
            w << list.header()->sectionSize(c);
        }
        return w;
    };
    const QList<int> before = widths();
    const QString sample = "00/00/00 00:00pm and a good deal more";
    list.FitColumnTo(2, sample);
    QList<int> after = widths();
    EXPECT_GE(after[1], list.fontMetrics().horizontalAdvance(sample));
    EXPECT_EQ(std::pair(after[0], after[2]), std::pair(before[0], before[2]));
    list.FitColumnTo(1, "x");
    EXPECT_EQ(list.header()->sectionSize(0), before[0]);
}

// A click anywhere in the mark cell turns the mark over; clicks elsewhere select only; a
// quick double click turns it over twice and chooses nothing.
TEST_F(MultiColumnListTest, ClicksInTheMarkColumnSetAndClearMarks) {
    QSignalSpy changed(&list, &MultiColumnList::MarksChanged);
    QSignalSpy activated(&list, &MultiColumnList::ItemActivated);
    Click(1, 0);
    Click(3, 0);
    Click(2, 2);
    EXPECT_EQ(list.ListIndex(), 2);
    EXPECT_EQ((std::array{list.ItemMark(1, 1), list.ItemMark(2, 1), list.ItemMark(3, 1)}),
              (std::array<int16_t, 3>{1, 0, 1}));
    EXPECT_EQ(list.ItemMark(1, 2), 0) << "only the mark column holds marks";
    EXPECT_EQ(std::tuple(list.MarkedCount(), changed.count()), std::tuple(2, 2));
    Click(1, 0);
    EXPECT_EQ(list.ItemMark(1, 1), 0);
    DoubleClick(4, 0);
    EXPECT_EQ(list.ItemMark(4, 1), 0);
    EXPECT_EQ(activated.count(), 0);
    EXPECT_EQ(list.Model()->data(list.Model()->index(3, 0), Qt::CheckStateRole), Qt::Checked);
}

// Fitting widens the column named (numbered from 1) and no other, and never narrows one. The
// width the columns need follows their fitted widths, not the stretch of the last column.
TEST_F(MultiColumnListTest, FittingWidensTheNamedColumnOnlyAndTheNeededWidthStaysPut) {
    auto sizes = [&] {
        std::vector<int> s;
        for (int c = 0; c < 3; ++c) { // the last column stretches
            s.push_back(list.header()->sectionSize(c));
        }
        return s;
    };
    const std::vector<int> given = sizes();
    const int needed = list.ColumnsWidth();
    const QString wide(30, u'W');
    for (int column : {2, 3}) {
        SCOPED_TRACE(column);
        std::vector<int> expected = sizes();
        list.FitColumnTo(column, wide);
        const int fitted = list.header()->sectionSize(column - 1);
        EXPECT_GT(fitted, list.fontMetrics().horizontalAdvance(wide));
        expected[static_cast<size_t>(column - 1)] = fitted;
        EXPECT_EQ(sizes(), expected);
    }
    list.FitColumnTo(1, "W");
    list.FitColumnTo(2, "W");
    EXPECT_EQ(sizes()[0], given[0]) << "a narrow sample leaves the width given";
    const int widened = sizes()[1] + sizes()[2] - given[1] - given[2];
    EXPECT_EQ(list.ColumnsWidth(), needed + widened);
    for (int width : {1600, 300, 1600}) {
        list.resize(width, 300);
        QApplication::processEvents();
        EXPECT_EQ(list.ColumnsWidth(), needed + widened) << width;
    }
}

TEST_F(MultiColumnListTest, SpaceMarksTheCurrentRowAndEnterOrDoubleClickChoosesIt) {
    list.setFocus();
    Click(2, 3);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Down, Qt::Key_Space, Qt::Key_Up, Qt::Key_Space}) {
        Key(key);
    }
    EXPECT_EQ((std::array{list.ItemMark(2, 1), list.ItemMark(3, 1)}),
              (std::array<int16_t, 2>{0, 1}));
    EXPECT_EQ(list.ListIndex(), 2);
    QSignalSpy activated(&list, &MultiColumnList::ItemActivated);
    Key(Qt::Key_Return);
    DoubleClick(4, 2);
    EXPECT_EQ(activated, (QList<QVariantList>{{2}, {4}}));
    // Enter on the row with the focus frame chooses it even before it is selected.
    list.selectionModel()->setCurrentIndex(list.Model()->index(1, 0), QItemSelectionModel::Clear);
    ASSERT_EQ(list.ListIndex(), -1);
    Key(Qt::Key_Enter);
    EXPECT_EQ(list.ListIndex(), 1);
    EXPECT_EQ(activated.count(), 3);
    list.SetListIndex(4);
    EXPECT_EQ(list.ListIndex(), 4);
}

} // namespace
