#include <QApplication>
#include <gtest/gtest.h>
#include <stdexcept>

#include "base/ModError.h"
#include "store/ProgramFolders.h"
#include "support/LogFile.h"
#include "support/ScriptedWindowing.h"
#include "support/TempDir.h"
#include "ui/ClsPopupMenu.h"

namespace {

class PopupTest : public ::testing::Test {
protected:
    void SetUp() override { ModError::SetLogFile(ProgramFolders{dir_.path()}.LogFile()); }
    void TearDown() override { ModError::SetLogFile("Tidemar.err"); }

    TempDir dir_;
    ScriptedWindowing windowing_;
    ClsPopupMenu menu_{windowing_};
};

struct LayoutCase {
    const char* name;
    QString enable;
    QStringList entries;
    QString shown; // per entry: '1' enabled, '0' greyed, '-' separator
};

class PopupLayoutTest : public PopupTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(PopupLayoutTest, NumbersEveryEntryAndGreysByTheEnableString) {
    const LayoutCase& c = GetParam();
    menu_.Popup(c.enable, c.entries);
    ASSERT_EQ(windowing_.popups.size(), 1);
    ASSERT_EQ(windowing_.popups.front().entries.size(), c.entries.size());
    QString shown;
    for (qsizetype i = 0; i < windowing_.popups.front().entries.size(); ++i) {
        const IWindowing::MenuEntry& entry = windowing_.popups.front().entries[i];
        EXPECT_EQ(entry.id, i + 1);
        EXPECT_EQ(entry.text, c.entries[i]);
        shown += entry.isSeparator ? u'-' : entry.enabled ? u'1' : u'0';
    }
    EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PopupLayoutTest,
    ::testing::Values(
        LayoutCase{"SeparatorTakesANumber", "101", {"Add", "-", "Delete"}, "1-1"},
        LayoutCase{"ShortEnableStringGreysTheRest", "1", {"Add", "Edit", "Delete"}, "100"},
        LayoutCase{"OnlyOneEnables", "1x0 21", {"a", "b", "c", "d", "e", "f"}, "100001"},
        LayoutCase{"BlanksAroundTheDash", "1111", {" - ", "--", "- x", "  -"}, "-11-"},
        LayoutCase{"Empty", "111", {}, ""}),
    [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(PopupTest, ShowsAtThePointerAndReturnsTheChosenNumberOrZeroWhenDismissed) {
    windowing_.cursor = QPoint(321, 654);
    windowing_.popupResults.push_back(3);
    EXPECT_EQ(menu_.Popup("101", {"Add", "-", "Delete"}), 3);
    ASSERT_EQ(windowing_.popups.size(), 1);
    EXPECT_EQ(windowing_.popups.front().position, QPoint(321, 654));
    EXPECT_EQ(windowing_.popups.front().owner, QApplication::activeWindow());
    EXPECT_EQ(menu_.Popup("111", {"Add", "Edit", "Delete"}), 0) << "nothing chosen";
    EXPECT_EQ(ReadLog(), "");
}

struct ThrowingWindowing : ScriptedWindowing {
    int PopupMenu(QWidget*, const QPoint&, const QList<MenuEntry>&) override {
        throw std::runtime_error("menu could not be created");
    }
};

// The separator (2), a greyed entry (4), no entry at all (5, -1), and a menu that fails:
// logged under ClsPopupMenu/Popup, and 0.
TEST_F(PopupTest, ImpossibleResultsAndFailuresAreLoggedAndGiveZero) {
    for (int result : {2, 4, 5, -1}) {
        windowing_.popupResults.push_back(result);
        EXPECT_EQ(menu_.Popup("101", {"Add", "-", "Delete", "Greyed"}), 0) << result;
        EXPECT_NE(ReadLog().find("ClsPopupMenu         Popup"), std::string::npos) << result;
        ModError::SetLogFile(ProgramFolders{dir_.path()}.LogFile() + std::to_string(result));
    }
    ThrowingWindowing failing;
    EXPECT_EQ(ClsPopupMenu(failing).Popup("1", {"Add"}), 0);
    EXPECT_NE(ReadLog().find("menu could not be created"), std::string::npos) << ReadLog();
}

} // namespace
