// The schedule's rows from the store, as the report takes them where no grid is shown: the
// same rows, colours and title-column width the main window's grid gets.
#include <QApplication>
#include <QFontMetrics>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "grid/ScheduleGrid.h"
#include "store/ClsGlobal.h"
#include "support/StoreFixture.h"
#include "ui/ScheduleRows.h"

namespace {

struct RowsCase {
    const char* name;
    std::string title;
    std::vector<std::string> resources; // in store order; names keep 24 characters
    int32_t titleBack;
    int32_t listBack;
    QStringList order; // the rows as shown, trimmed
    int listWidth;     // 0: between the bounds
};

const RowsCase kRows[] = {
    {"MixedCaseWithDoubles",
     "Rooms",
     {"beta", "Alpha", "gamma", "alpha", "Beta"},
     0x00E6DCD2,
     0x00FAF8F6,
     {"Alpha", "alpha", "beta", "Beta", "gamma"},
     110},
    {"WideTitleAtTheBound",
     "WWWWWWWWWWWWWWWWWWWWWWWW",
     {"Y", "   x"},
     0x00400000,
     0x00202020,
     {"x", "Y"},
     280},
    {"SpacesDoNotCountAndTheTitleIsBold",
     "Meeting rooms east",
     {"Meeting rooms east  ", "     ab"},
     0x00FFFFFF,
     0x00000000,
     {"ab", "Meeting rooms east"},
     0},
};

class ScheduleRowsTest : public StoreFixture, public ::testing::WithParamInterface<RowsCase> {};

TEST_P(ScheduleRowsTest, FromTheStoreMatchWhatTheGridShows) {
    const RowsCase& c = GetParam();
    ClsGlobal store{ProgramFolders{dir.path()}};
    store.SetResourceType(c.title);
    store.SetColor(1, c.titleBack);
    store.SetColor(3, c.listBack);
    for (const std::string& name : c.resources) {
        int32_t id = 0;
        ASSERT_NE(store.ResourceSave(id, name), 0);
    }
    const ScheduleRows rows = ScheduleRows::FromStore(store, QApplication::font());
    ScheduleGrid grid;
    rows.ShowIn(grid);
    const ScheduleRows shown = ScheduleRows::FromGrid(grid);

    QStringList order;
    for (const ScheduleRows::Row& r : rows.rows) {
        order << r.text.trimmed();
    }
    EXPECT_EQ(order, c.order);
    ASSERT_EQ(shown.rows.size(), rows.rows.size());
    for (size_t i = 0; i < rows.rows.size(); ++i) {
        EXPECT_EQ(std::pair(shown.rows[i].text, shown.rows[i].id),
                  std::pair(rows.rows[i].text, rows.rows[i].id))
            << i;
    }
    EXPECT_EQ(std::tuple(rows.listTitle, rows.titleBackColor, rows.listBackColor,
                         rows.titleForeColor, rows.listForeColor),
              std::tuple(shown.listTitle, shown.titleBackColor, shown.listBackColor,
                         shown.titleForeColor, shown.listForeColor));
    EXPECT_EQ(std::tuple(rows.backColor, rows.rulerColor, rows.weekendColor),
              std::tuple(shown.backColor, shown.rulerColor, shown.weekendColor));
    EXPECT_EQ(rows.listWidth, shown.listWidth);
    if (c.listWidth != 0) {
        EXPECT_EQ(rows.listWidth, c.listWidth);
    } else {
        // The wider of the bold title and the trimmed rows, and an 8-pixel margin each side.
        QFont bold = QApplication::font();
        bold.setBold(true);
        EXPECT_EQ(
            rows.listWidth,
            std::max(QFontMetrics(bold).horizontalAdvance(QString::fromStdString(c.title)),
                     QFontMetrics(QApplication::font()).horizontalAdvance("Meeting rooms east")) +
                16);
        EXPECT_GT(rows.listWidth, 110);
        EXPECT_LT(rows.listWidth, 280);
    }
    // The list width is not asked for here.
    EXPECT_EQ(ScheduleRows::FromStore(store).listWidth, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, ScheduleRowsTest, ::testing::ValuesIn(kRows),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
