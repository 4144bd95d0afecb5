#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QWidget>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/ClsDialog.h"
#include "store/ModError.h"
#include "store/ProgramFolders.h"
#include "support/LogFile.h"
#include "support/TempDir.h"

namespace {

class LoggingTest : public ::testing::Test {
protected:
    void SetUp() override { ModError::SetLogFile(ProgramFolders{dir_.path()}.LogFile()); }
    void TearDown() override { ModError::SetLogFile("Tidemar.err"); }
    TempDir dir_;
};

const auto kCaseName = [](const auto& info) { return std::string(info.param.name); };

// --- Centring ------------------------------------------------------------------------------

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
        // 1001 div 2 - 300 div 2 = 500 - 150.
        CenterCase{"OddScreen", {0, 0, 1001, 801}, {300, 201}, QPointF(350, 300)},
        // Halves go to the even neighbour: 1000.5 -> 1000, 1001.5 -> 1002.
        CenterCase{"HalfDown", {0, 0, 1000.5, 2.5}, {0, 0}, QPointF(500, 1)},
        CenterCase{"HalfUp", {0, 0, 1001.5, 3.5}, {0, 0}, QPointF(501, 2)},
        CenterCase{"WindowHalves", {0, 0, 1000, 1000}, {300.5, 301.5}, QPointF(350, 349)},
        CenterCase{"NotHalfRoundsNearest", {0, 0, 1000.6, 1000.4}, {0, 0}, QPointF(500, 500)},
        // The parent's corner enters unrounded.
        CenterCase{"Parent", {100.25, 200.75, 3000, 2000}, {1000, 500}, QPointF(1100.25, 950.75)},
        // Larger than the parent: the corner lies above and left of the parent's.
        CenterCase{"LargerThanParent", {100, 200, 300, 400}, {501, 601}, QPointF(0, 100)},
        // div truncates toward zero: -3 div 2 is -1, not -2.
        CenterCase{"NegativeSizeTruncates", {0, 0, 10, 10}, {-3, -5}, QPointF(6, 7)},
        CenterCase{
            "Int32Edge", {0, 0, 2147483647.0, 0}, {-2147483648.0, 0}, QPointF(2147483647.0, 0)},
        CenterCase{"OuterBeyondInt32", {0, 0, 2147483647.5, 10}, {10, 10}, std::nullopt},
        CenterCase{"WindowBeyondInt32", {0, 0, 10, 10}, {10, -2147483648.6}, std::nullopt},
        CenterCase{"FarBeyondInt32", {0, 0, 3e9, 10}, {10, 10}, std::nullopt},
        CenterCase{"NotANumber", {0, 0, std::nan(""), 10}, {10, 10}, std::nullopt}),
    kCaseName);

using MoveToCenterTest = LoggingTest;

// Beyond 32 bits in twips, or beyond the pixel range once converted.
TEST_F(MoveToCenterTest, OverflowIsLoggedAndTheWindowStays) {
    for (const QRectF& outer : {QRectF(0, 0, 3e9, 1000), QRectF(1e12, 0, 1000, 1000)}) {
        std::remove(ModError::LogPath().c_str());
        QWidget window;
        window.move(40, 50);
        ClsDialog::MoveToCenter(&window, outer, QSizeF(100, 100));
        EXPECT_EQ(window.pos(), QPoint(40, 50));
        const std::string log = ReadLog();
        EXPECT_NE(log.find("ClsDialog            FormCenter"), std::string::npos) << log;
        EXPECT_NE(log.find("00000006 Overflow"), std::string::npos) << log;
    }
}

TEST(FormCenterTest, CentresOnTheParentWindowOrWithoutOneOnTheScreen) {
    QWidget parent;
    parent.setGeometry(100, 80, 600, 400);
    QWidget window;
    window.resize(201, 151);
    for (QWidget* outer : {&parent, static_cast<QWidget*>(nullptr)}) {
        ClsDialog::FormCenter(&window, outer);
        const QPoint expected =
            outer ? outer->frameGeometry().center() : window.screen()->availableGeometry().center();
        const QPoint centre = window.frameGeometry().center();
        EXPECT_LE(std::abs(centre.x() - expected.x()), 1) << (outer ? "parent" : "screen");
        EXPECT_LE(std::abs(centre.y() - expected.y()), 1) << (outer ? "parent" : "screen");
    }
}

using NullWidgetTest = LoggingTest;

TEST_F(NullWidgetTest, EachOperationLogsUnderItsOwnName) {
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"FormCenter", [] { ClsDialog::FormCenter(nullptr, nullptr); }},
        {"TextSelectAll", [] { ClsDialog::TextSelectAll(nullptr); }},
        {"ComboAddItem", [] { EXPECT_EQ(ClsDialog::ComboAddItem(nullptr, "a", 1), -1); }},
        {"ComboSelectItem", [] { EXPECT_EQ(ClsDialog::ComboSelectItem(nullptr, 1), -1); }},
        {"ComboGetCurrentId", [] { EXPECT_EQ(ClsDialog::ComboGetCurrentId(nullptr), -1); }}};
    for (const auto& [name, call] : calls) {
        std::remove(ModError::LogPath().c_str());
        call();
        std::string operation = name;
        operation.resize(20, ' ');
        EXPECT_NE(ReadLog().find("ClsDialog            " + operation), std::string::npos)
            << ReadLog();
    }
}

TEST(TextSelectAllTest, SelectsEveryCharacter) {
    QLineEdit field(QStringLiteral("Zoë Müller 12"));
    field.setCursorPosition(3);
    ClsDialog::TextSelectAll(&field);
    EXPECT_EQ(field.selectedText(), field.text());
}

// --- Drop-down lists -----------------------------------------------------------------------

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
    for (const QList<QVariant>& args : changed) {
        EXPECT_EQ(args.at(0).toInt(), c.position);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ComboSelectTest,
    ::testing::Values(
        SelectCase{"Known", {{"Ray", 7}, {"Hal", 8}}, 8, 1, 8},
        SelectCase{"UnknownIdGivesFirst", {{"Ray", 7}, {"Hal", 8}}, 99, 0, 7},
        SelectCase{"EmptyList", {}, 0, -1, -1},
        SelectCase{"DuplicateIdsGiveTheLower", {{"a", 1}, {"b", 5}, {"c", 5}}, 5, 1, 5},
        SelectCase{"ZeroIsAnId", {{"plus", 3}, {"zero", 0}, {"minus", -4}}, 0, 1, 0},
        SelectCase{"NegativeIsAnId", {{"plus", 3}, {"zero", 0}, {"minus", -4}}, -4, 2, -4}),
    kCaseName);

TEST(ComboSortedTest, EntriesGoToTheirPlaceIgnoringCaseAndTheSelectionStays) {
    QComboBox combo;
    ClsDialog::ComboSetSorted(&combo, true);
    for (const auto& [text, id, position] :
         std::vector<std::tuple<const char*, int, int>>{{"delta", 4, 0},
                                                        {"Alpha", 1, 0},
                                                        {"charlie", 3, 1},
                                                        {"Bravo", 2, 1},
                                                        {"ECHO", 5, 4}}) {
        EXPECT_EQ(ClsDialog::ComboAddItem(&combo, text, id), position) << text;
    }
    ASSERT_EQ(combo.count(), 5);
    for (int i = 0; i < combo.count(); ++i) {
        EXPECT_EQ(combo.itemData(i).toInt(), i + 1) << combo.itemText(i).toStdString();
    }
    ClsDialog::ComboSelectItem(&combo, 3);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo, "a", 0), 0);
    EXPECT_EQ(ClsDialog::ComboGetCurrentId(&combo), 3) << "adding before it keeps the selection";
}

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
