#include <QComboBox>
#include <QSignalSpy>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "base/ModError.h"
#include "store/ProgramFolders.h"
#include "support/LogFile.h"
#include "support/TempDir.h"
#include "ui/ClsDialog.h"

namespace {

class LoggingTest : public ::testing::Test {
protected:
    void SetUp() override { ModError::SetLogFile(ProgramFolders{dir_.path()}.LogFile()); }
    void TearDown() override { ModError::SetLogFile("Tidemar.err"); }
    TempDir dir_;
};

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

struct CenterCase {
    const char* name;
    QRectF outer;
    QSizeF window;
    std::optional<QPointF> expected; // nothing: overflow
};

class CenterTwipsTest : public ::testing::TestWithParam<CenterCase> {};

TEST_P(CenterTwipsTest, GivesTheCentredCornerOrNothingOnOverflow) {
    const CenterCase& c = GetParam();
    const std::optional<QPointF> corner = ClsDialog::CenterTwips(c.outer, c.window);
    ASSERT_EQ(corner.has_value(), c.expected.has_value());
    if (corner) {
        EXPECT_DOUBLE_EQ(corner->x(), c.expected->x());
        EXPECT_DOUBLE_EQ(corner->y(), c.expected->y());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CenterTwipsTest,
    ::testing::Values(
        CenterCase{"OddScreen", {0, 0, 1001, 801}, {300, 201}, QPointF(350, 300)},
        // Halves go to the even neighbour: 1000.5 -> 1000, 1001.5 -> 1002.
        CenterCase{"HalfDown", {0, 0, 1000.5, 2.5}, {0, 0}, QPointF(500, 1)},
        CenterCase{"HalfUp", {0, 0, 1001.5, 3.5}, {0, 0}, QPointF(501, 2)},
        CenterCase{"Parent", {100.25, 200.75, 3000, 2000}, {1000, 500}, QPointF(1100.25, 950.75)},
        CenterCase{"LargerThanParent", {100, 200, 300, 400}, {501, 601}, QPointF(0, 100)},
        // div truncates toward zero: -3 div 2 is -1, not -2.
        CenterCase{"NegativeSizeTruncates", {0, 0, 10, 10}, {-3, -5}, QPointF(6, 7)},
        CenterCase{
            "Int32Edge", {0, 0, 2147483647.0, 0}, {-2147483648.0, 0}, QPointF(2147483647.0, 0)},
        CenterCase{"OuterBeyondInt32", {0, 0, 2147483647.5, 10}, {10, 10}, std::nullopt},
        CenterCase{"NotANumber", {0, 0, std::nan(""), 10}, {10, 10}, std::nullopt}),
    kCaseName);

struct SelectCase {
    const char* name;
    std::vector<std::pair<const char*, int32_t>> entries; // added in this order, unsorted
    int32_t id;
    int16_t position; // selected
    int32_t selectedId;
};

class ComboSelectTest : public ::testing::TestWithParam<SelectCase> {};

// Selecting twice: the second time changes nothing but is still signalled.
TEST_P(ComboSelectTest, SelectsThePositionOfTheIdAndSignalsEachTime) {
    const SelectCase& c = GetParam();
    QComboBox combo;
    QSignalSpy changed(&combo, &QComboBox::currentIndexChanged);
    for (int i = 0; i < static_cast<int>(c.entries.size()); ++i) {
        EXPECT_EQ(ClsDialog::ComboAddItem(&combo, c.entries[i].first, c.entries[i].second), i);
    }
    EXPECT_EQ(ClsDialog::ComboGetCurrentId(&combo), -1) << "adding selects nothing";
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(ClsDialog::ComboSelectItem(&combo, c.id), c.position);
    EXPECT_EQ(ClsDialog::ComboSelectItem(&combo, c.id), c.position);
    EXPECT_EQ(combo.currentIndex(), c.position);
    EXPECT_EQ(ClsDialog::ComboGetCurrentId(&combo), c.selectedId);
    ASSERT_EQ(changed.count(), c.position < 0 ? 0 : 2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComboSelectTest,
    ::testing::Values(
        SelectCase{"Known", {{"Ray", 7}, {"Hal", 8}}, 8, 1, 8},
        SelectCase{"UnknownIdGivesFirst", {{"Ray", 7}, {"Hal", 8}}, 99, 0, 7},
        SelectCase{"EmptyList", {}, 0, -1, -1},
        SelectCase{"DuplicateIdsGiveTheLower", {{"a", 1}, {"b", 5}, {"c", 5}}, 5, 1, 5},
        SelectCase{"NegativeIsAnId", {{"plus", 3}, {"zero", 0}, {"minus", -4}}, -4, 2, -4}),
    kCaseName);

using ComboLimitTest = LoggingTest;

TEST_F(ComboLimitTest, A16BitListRefusesMoreEntries) {
    constexpr int kMax = std::numeric_limits<int16_t>::max();
    QComboBox combo;
    combo.addItems(QStringList(kMax - 1, QString()));
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo, "last", 1), kMax - 1);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo, "one too many", 2), -1);
    EXPECT_EQ(combo.count(), kMax);
    EXPECT_NE(ReadLog().find("ComboAddItem"), std::string::npos);
}

} // namespace
