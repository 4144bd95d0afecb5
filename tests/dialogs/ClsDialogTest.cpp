#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QWidget>
#include <cmath>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>

#include "dialogs/ClsDialog.h"
#include "store/ModError.h"
#include "support/TempDir.h"

namespace {

std::string ReadLog() {
    std::ifstream in(ModError::LogPath(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class LoggingTest : public ::testing::Test {
protected:
    void SetUp() override { ModError::SetProgramFolder(dir_.path()); }
    void TearDown() override { ModError::SetProgramFolder("."); }
    TempDir dir_;
};

// --- Centring arithmetic -----------------------------------------------------------------

struct CenterCase {
    const char* name;
    QRectF outer;
    QSizeF window;
    QPointF expected;
};

class CenterTwipsTest : public ::testing::TestWithParam<CenterCase> {};

TEST_P(CenterTwipsTest, GivesTheCentredCorner) {
    const CenterCase& c = GetParam();
    std::optional<QPointF> corner = ClsDialog::CenterTwips(c.outer, c.window);
    ASSERT_TRUE(corner.has_value());
    EXPECT_DOUBLE_EQ(corner->x(), c.expected.x());
    EXPECT_DOUBLE_EQ(corner->y(), c.expected.y());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CenterTwipsTest,
    ::testing::Values(
        // 1001 div 2 - 300 div 2 = 500 - 150.
        CenterCase{"OddScreen", {0, 0, 1001, 801}, {300, 201}, {350, 300}},
        // Halves go to the even neighbour: 1000.5 -> 1000, 1001.5 -> 1002.
        CenterCase{"HalfDown", {0, 0, 1000.5, 2.5}, {0, 0}, {500, 1}},
        CenterCase{"HalfUp", {0, 0, 1001.5, 3.5}, {0, 0}, {501, 2}},
        CenterCase{"WindowHalves", {0, 0, 1000, 1000}, {300.5, 301.5}, {350, 349}},
        CenterCase{"NotHalfRoundsNearest", {0, 0, 1000.6, 1000.4}, {0, 0}, {500, 500}},
        // The parent's corner enters unrounded.
        CenterCase{"Parent", {100.25, 200.75, 3000, 2000}, {1000, 500}, {1100.25, 950.75}},
        // Larger than the parent: the corner lies above and left of the parent's.
        CenterCase{"LargerThanParent", {100, 200, 300, 400}, {501, 601}, {0, 100}},
        // div truncates toward zero: -3 div 2 is -1, not -2.
        CenterCase{"NegativeSizeTruncates", {0, 0, 10, 10}, {-3, -5}, {6, 7}},
        CenterCase{"Int32Edge", {0, 0, 2147483647.0, 0}, {-2147483648.0, 0}, {2147483647.0, 0}}),
    [](const ::testing::TestParamInfo<CenterCase>& param) { return param.param.name; });

class CenterOverflowTest : public ::testing::TestWithParam<std::pair<QRectF, QSizeF>> {};

TEST_P(CenterOverflowTest, GivesNothing) {
    EXPECT_FALSE(ClsDialog::CenterTwips(GetParam().first, GetParam().second).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CenterOverflowTest,
    ::testing::Values(std::pair{QRectF(0, 0, 2147483647.5, 10), QSizeF(10, 10)},
                      std::pair{QRectF(0, 0, 10, 10), QSizeF(10, -2147483648.6)},
                      std::pair{QRectF(0, 0, 3e9, 10), QSizeF(10, 10)},
                      std::pair{QRectF(0, 0, std::nan(""), 10), QSizeF(10, 10)}));

using MoveToCenterTest = LoggingTest;

TEST_F(MoveToCenterTest, OverflowIsLoggedAndTheWindowStays) {
    QWidget window;
    window.move(40, 50);
    ClsDialog::MoveToCenter(&window, QRectF(0, 0, 3e9, 1000), QSizeF(100, 100));
    EXPECT_EQ(window.pos(), QPoint(40, 50));
    const std::string log = ReadLog();
    EXPECT_NE(log.find("ClsDialog            FormCenter"), std::string::npos) << log;
    EXPECT_NE(log.find("00000006 Overflow"), std::string::npos) << log;
}

TEST_F(MoveToCenterTest, APositionBeyondThePixelRangeIsAnOverflow) {
    QWidget window;
    window.move(40, 50);
    ClsDialog::MoveToCenter(&window, QRectF(1e12, 0, 1000, 1000), QSizeF(100, 100));
    EXPECT_EQ(window.pos(), QPoint(40, 50));
    EXPECT_NE(ReadLog().find("Overflow"), std::string::npos);
}

// --- FormCenter on real windows ------------------------------------------------------------

TEST(FormCenterTest, CentresOnTheParentWindow) {
    QWidget parent;
    parent.setGeometry(100, 80, 600, 400);
    QWidget window;
    window.resize(201, 151);
    ClsDialog::FormCenter(&window, &parent);
    const QPoint centre = window.frameGeometry().center();
    const QPoint expected = parent.frameGeometry().center();
    EXPECT_LE(std::abs(centre.x() - expected.x()), 1);
    EXPECT_LE(std::abs(centre.y() - expected.y()), 1);
}

TEST(FormCenterTest, WithoutParentCentresOnTheScreen) {
    QWidget window;
    window.resize(320, 240);
    ClsDialog::FormCenter(&window, nullptr);
    const QRect area = window.screen()->availableGeometry();
    EXPECT_LE(std::abs(window.frameGeometry().center().x() - area.center().x()), 1);
    EXPECT_LE(std::abs(window.frameGeometry().center().y() - area.center().y()), 1);
}

// --- Null widgets: each operation logs under its own name --------------------------------

struct NullCase {
    const char* operation;
    std::function<void()> call;
};

class NullWidgetTest : public LoggingTest, public ::testing::WithParamInterface<NullCase> {};

TEST_P(NullWidgetTest, IsLoggedUnderTheOperation) {
    GetParam().call();
    const std::string log = ReadLog();
    std::string operation = GetParam().operation;
    operation.resize(20, ' ');
    EXPECT_NE(log.find("ClsDialog            " + operation), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NullWidgetTest,
    ::testing::Values(
        NullCase{"FormCenter", [] { ClsDialog::FormCenter(nullptr, nullptr); }},
        NullCase{"TextSelectAll", [] { ClsDialog::TextSelectAll(nullptr); }},
        NullCase{"ComboAddItem", [] { EXPECT_EQ(ClsDialog::ComboAddItem(nullptr, "a", 1), -1); }},
        NullCase{"ComboSelectItem", [] { EXPECT_EQ(ClsDialog::ComboSelectItem(nullptr, 1), -1); }},
        NullCase{"ComboGetCurrentId",
                 [] { EXPECT_EQ(ClsDialog::ComboGetCurrentId(nullptr), -1); }}),
    [](const ::testing::TestParamInfo<NullCase>& param) { return param.param.operation; });

// --- Text fields ---------------------------------------------------------------------------

TEST(TextSelectAllTest, SelectsEveryCharacter) {
    QLineEdit field(QStringLiteral("Zoë Müller 12"));
    field.setCursorPosition(3);
    ClsDialog::TextSelectAll(&field);
    EXPECT_EQ(field.selectionStart(), 0);
    EXPECT_EQ(field.selectedText(), field.text());
}

// --- Drop-down lists -----------------------------------------------------------------------

class ComboTest : public ::testing::Test {
protected:
    void Fill(std::initializer_list<std::pair<const char*, int32_t>> entries) {
        for (const auto& [text, id] : entries) {
            ClsDialog::ComboAddItem(&combo_, QString::fromUtf8(text), id);
        }
    }
    QComboBox combo_;
};

TEST_F(ComboTest, AddingKeepsNothingSelectedAndRaisesNoSignal) {
    QSignalSpy changed(&combo_, &QComboBox::currentIndexChanged);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo_, "Ray", 7), 0);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo_, "Hal", 8), 1);
    EXPECT_EQ(combo_.currentIndex(), -1);
    EXPECT_EQ(ClsDialog::ComboGetCurrentId(&combo_), -1);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(ComboTest, SortedListPutsEachEntryInItsPlaceIgnoringCase) {
    ClsDialog::ComboSetSorted(&combo_, true);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo_, "delta", 4), 0);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo_, "Alpha", 1), 0);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo_, "charlie", 3), 1);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo_, "Bravo", 2), 1);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo_, "ECHO", 5), 4);
    ASSERT_EQ(combo_.count(), 5);
    for (int i = 0; i < combo_.count(); ++i) {
        EXPECT_EQ(combo_.itemData(i).toInt(), i + 1) << combo_.itemText(i).toStdString();
    }
}

TEST_F(ComboTest, SelectingAnIdThatNoEntryCarriesSelectsTheFirst) {
    Fill({{"Ray", 7}, {"Hal", 8}});
    EXPECT_EQ(ClsDialog::ComboSelectItem(&combo_, 99), 0);
    EXPECT_EQ(combo_.currentIndex(), 0);
}

TEST_F(ComboTest, SelectingInAnEmptyListGivesMinusOneAndNoSignal) {
    QSignalSpy changed(&combo_, &QComboBox::currentIndexChanged);
    EXPECT_EQ(ClsDialog::ComboSelectItem(&combo_, 0), -1);
    EXPECT_EQ(combo_.currentIndex(), -1);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(ComboTest, DuplicateIdsSelectTheLowerPosition) {
    Fill({{"a", 1}, {"b", 5}, {"c", 5}});
    EXPECT_EQ(ClsDialog::ComboSelectItem(&combo_, 5), 1);
}

TEST_F(ComboTest, ZeroAndNegativeIdsAreIdsLikeAnyOther) {
    Fill({{"plus", 3}, {"zero", 0}, {"minus", -4}});
    EXPECT_EQ(ClsDialog::ComboSelectItem(&combo_, -4), 2);
    EXPECT_EQ(ClsDialog::ComboGetCurrentId(&combo_), -4);
    EXPECT_EQ(ClsDialog::ComboSelectItem(&combo_, 0), 1);
    EXPECT_EQ(ClsDialog::ComboGetCurrentId(&combo_), 0);
}

TEST_F(ComboTest, SelectingRaisesTheSelectionSignalOnceEvenWithoutChange) {
    Fill({{"Ray", 7}, {"Hal", 8}});
    QSignalSpy changed(&combo_, &QComboBox::currentIndexChanged);
    ClsDialog::ComboSelectItem(&combo_, 8);
    ClsDialog::ComboSelectItem(&combo_, 8);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 1);
    EXPECT_EQ(changed.at(1).at(0).toInt(), 1);
}

TEST_F(ComboTest, AddingBeforeTheSelectionKeepsTheSelectedEntry) {
    ClsDialog::ComboSetSorted(&combo_, true);
    Fill({{"m", 13}});
    ClsDialog::ComboSelectItem(&combo_, 13);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo_, "a", 1), 0);
    EXPECT_EQ(ClsDialog::ComboGetCurrentId(&combo_), 13);
}

TEST(ComboLimitTest, A16BitListRefusesMoreEntries) {
    TempDir dir;
    ModError::SetProgramFolder(dir.path());
    QComboBox combo;
    QStringList texts;
    for (int i = 0; i < std::numeric_limits<int16_t>::max() - 1; ++i) {
        texts << QString();
    }
    combo.addItems(texts);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo, "last", 1), std::numeric_limits<int16_t>::max() - 1);
    EXPECT_EQ(ClsDialog::ComboAddItem(&combo, "one too many", 2), -1);
    EXPECT_EQ(combo.count(), std::numeric_limits<int16_t>::max());
    EXPECT_NE(ReadLog().find("ComboAddItem"), std::string::npos);
    ModError::SetProgramFolder(".");
}

} // namespace
