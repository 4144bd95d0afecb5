#include <QApplication>
#include <QWidget>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "schedule/ClsPopupMenu.h"
#include "store/ModError.h"
#include "support/ScriptedWindowing.h"
#include "support/TempDir.h"

namespace {

std::string ReadLog() {
    std::ifstream in(ModError::LogPath(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PopupTest : public ::testing::Test {
protected:
    void SetUp() override { ModError::SetProgramFolder(dir_.path()); }
    void TearDown() override { ModError::SetProgramFolder("."); }

    TempDir dir_;
    ScriptedWindowing windowing_;
    ClsPopupMenu menu_{windowing_};
};

// --- Numbering, separators and greying -----------------------------------------------------

struct LayoutCase {
    const char* name;
    QString enable;
    QStringList entries;
    std::vector<bool> enabled;
    std::vector<bool> separator;
};

class PopupLayoutTest : public PopupTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PopupLayoutTest, NumbersEveryEntryAndGreysByTheEnableString) {
    const LayoutCase& c = GetParam();
    menu_.Popup(c.enable, c.entries);
    ASSERT_EQ(windowing_.popups.size(), 1);
    const QList<IWindowing::MenuEntry>& shown = windowing_.popups.front().entries;
    ASSERT_EQ(shown.size(), c.entries.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(shown[i].id, i + 1);
        EXPECT_EQ(shown[i].text, c.entries[i]);
        EXPECT_EQ(shown[i].isSeparator, c.separator[i]);
        if (!c.separator[i]) {
            EXPECT_EQ(shown[i].enabled, c.enabled[i]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, PopupLayoutTest,
    ::testing::Values(
        LayoutCase{"SeparatorTakesANumber", "101", {"Add", "-", "Delete"}, {1, 0, 1}, {0, 1, 0}},
        LayoutCase{"ShortEnableStringGreysTheRest",
                   "1",
                   {"Add appointment", "Edit appointment", "Delete appointment"},
                   {1, 0, 0},
                   {0, 0, 0}},
        LayoutCase{"OnlyOneEnables",
                   "1x0 21",
                   {"a", "b", "c", "d", "e", "f"},
                   {1, 0, 0, 0, 0, 1},
                   {0, 0, 0, 0, 0, 0}},
        LayoutCase{
            "BlanksAroundTheDash", "1111", {" - ", "--", "- x", "  -"}, {0, 1, 1, 0}, {1, 0, 0, 1}},
        LayoutCase{"Empty", "111", {}, {}, {}}),
    [](const ::testing::TestParamInfo<LayoutCase>& param) { return param.param.name; });

TEST_F(PopupTest, ShowsAtThePointerAndReturnsTheChosenNumber) {
    windowing_.cursor = QPoint(321, 654);
    windowing_.popupResults.push_back(3);
    EXPECT_EQ(menu_.Popup("101", {"Add", "-", "Delete"}), 3);
    ASSERT_EQ(windowing_.popups.size(), 1);
    EXPECT_EQ(windowing_.popups.front().position, QPoint(321, 654));
    EXPECT_EQ(windowing_.popups.front().owner, QApplication::activeWindow());
}

TEST_F(PopupTest, DismissingGivesZeroWithoutLogging) {
    EXPECT_EQ(menu_.Popup("111", {"Add", "Edit", "Delete"}), 0);
    EXPECT_EQ(ReadLog(), "");
}

// --- Failures: logged under ClsPopupMenu/Popup, result 0 ---------------------------------

class PopupImpossibleResultTest : public PopupTest, public ::testing::WithParamInterface<int> {};

TEST_P(PopupImpossibleResultTest, IsLoggedAndGivesZero) {
    windowing_.popupResults.push_back(GetParam());
    EXPECT_EQ(menu_.Popup("101", {"Add", "-", "Delete", "Greyed"}), 0);
    EXPECT_NE(ReadLog().find("ClsPopupMenu         Popup"), std::string::npos) << ReadLog();
}

// 2 is the separator, 4 is greyed, 5 and -1 are no entry at all.
INSTANTIATE_TEST_SUITE_P(Table, PopupImpossibleResultTest, ::testing::Values(2, 4, 5, -1));

class ThrowingWindowing : public ScriptedWindowing {
public:
    int PopupMenu(QWidget*, const QPoint&, const QList<MenuEntry>&) override {
        throw std::runtime_error("menu could not be created");
    }
};

TEST_F(PopupTest, AFailingMenuIsLoggedAndGivesZero) {
    ThrowingWindowing failing;
    ClsPopupMenu menu(failing);
    EXPECT_EQ(menu.Popup("1", {"Add"}), 0);
    EXPECT_NE(ReadLog().find("menu could not be created"), std::string::npos) << ReadLog();
}

} // namespace
