// The configuration window: every change reaches the settings at once, colours reach the
// grid while the window is open, and the resource word is kept however the window is left.
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>

#include "controls/ColorButton.h"
#include "controls/DropDownToolButton.h"
#include "dialogs/DlgConfigure.h"
#include "support/MainWindowFixture.h"

namespace {

using Command = DlgConfigure::Command;

class DlgConfigureTest : public MainWindowFixture {
public:
    void SetUp() override {
        MainWindowFixture::SetUp();
        store().SetResourceType("Rooms");
        store().SetOption(2, false);
        store().SetDateFormat(1);
        store().SetColor(4, 0x00102030);
        dialog = new DlgConfigure(*window);
        Open();
    }
    void Open() {
        dialog->show();
        QApplication::setActiveWindow(dialog);
        QApplication::processEvents();
    }
    // Types into the resource word as the user would, the field keeping the focus.
    void Type(const QString& text) {
        ASSERT_TRUE(dialog->TxtResType()->hasFocus());
        QTest::keyClicks(dialog->TxtResType(), text);
    }

    DlgConfigure* dialog = nullptr;
};

TEST_F(DlgConfigureTest, ShowsTheSettingsWithTheFocusOnTheResourceWord) {
    EXPECT_EQ(dialog->windowTitle(), "Configuration");
    for (int i = 0; i < DlgConfigure::kColors; ++i) {
        EXPECT_EQ(dialog->BtnColor(i)->Color(), static_cast<uint32_t>(store().Color(i))) << i;
    }
    EXPECT_EQ(dialog->BtnColor(4)->Color(), 0x00102030u);
    const bool options[] = {true, false, true, true};
    for (int i = 0; i < DlgConfigure::kOptions; ++i) {
        EXPECT_EQ(dialog->ChkOption(i)->isChecked(), options[i]) << i;
    }
    EXPECT_FALSE(dialog->BtnDate(0)->isChecked());
    EXPECT_TRUE(dialog->BtnDate(1)->isChecked());
    EXPECT_EQ(dialog->TxtResType()->text(), "Rooms");
    EXPECT_TRUE(dialog->TxtResType()->hasFocus());
    EXPECT_EQ(dialog->TxtResType()->selectedText(), "Rooms");
}

// Captions as the user sees them, and the setting each click writes at once.
TEST_F(DlgConfigureTest, DateFormatAndOptionsAreWrittenAsTheyAreClicked) {
    const char* captions[] = {"Show timelines on schedule", "Auto-scroll to current time",
                              "Show tooltips", "Military time (00:00 - 23:59)"};
    for (int i = 0; i < DlgConfigure::kOptions; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(dialog->ChkOption(i)->text().remove('&'), captions[i]);
        const bool before = store().Option(i + 1);
        QTest::mouseClick(dialog->ChkOption(i), Qt::LeftButton);
        EXPECT_EQ(store().Option(i + 1), !before);
        QTest::mouseClick(dialog->ChkOption(i), Qt::LeftButton);
        EXPECT_EQ(store().Option(i + 1), before);
    }
    EXPECT_EQ(dialog->BtnDate(0)->text().remove('&'), "dd/mm/yy");
    EXPECT_EQ(dialog->BtnDate(1)->text().remove('&'), "mm/dd/yy");
    QTest::mouseClick(dialog->BtnDate(0), Qt::LeftButton);
    EXPECT_EQ(store().DateFormat(), 0);
    QTest::mouseClick(dialog->BtnDate(1), Qt::LeftButton);
    EXPECT_EQ(store().DateFormat(), 1);
}

// Each colour button: the picker starts from its colour, and the choice reaches the setting,
// the button and the grid while the window is still open.
struct ColorCase {
    int index;
    uint32_t (ScheduleGrid::*grid)() const;
};
const ColorCase kColors[] = {{0, &ScheduleGrid::BackColor},
                             {1, &ScheduleGrid::TitleBackColor},
                             {2, &ScheduleGrid::RulerColor},
                             {3, &ScheduleGrid::ListBackColor},
                             {4, &ScheduleGrid::WeekendColor}};

class DlgConfigureColor : public DlgConfigureTest,
                          public ::testing::WithParamInterface<ColorCase> {};

TEST_P(DlgConfigureColor, ReachesTheSettingAndTheGridAtOnce) {
    const int n = GetParam().index;
    const uint32_t before = static_cast<uint32_t>(store().Color(n));
    ui.colors = {0x00ABCDEF};
    QTest::mouseClick(dialog->BtnColor(n), Qt::LeftButton);
    EXPECT_EQ(ui.colorsOffered, QList<uint32_t>{before});
    EXPECT_EQ(store().Color(n), 0x00ABCDEF);
    EXPECT_EQ(dialog->BtnColor(n)->Color(), 0x00ABCDEFu);
    EXPECT_EQ((grid().*GetParam().grid)(), 0x00ABCDEFu);
    EXPECT_TRUE(dialog->isVisible());
    for (int other = 0; other < DlgConfigure::kColors; ++other) {
        if (other != n) {
            EXPECT_NE(store().Color(other), 0x00ABCDEF) << other;
        }
    }

    // Closing the picker without a choice stores the same colour again.
    ui.colors = {std::nullopt};
    QTest::mouseClick(dialog->BtnColor(n), Qt::LeftButton);
    EXPECT_EQ(ui.colorsOffered.size(), 2);
    EXPECT_EQ(store().Color(n), 0x00ABCDEF);
    EXPECT_EQ((grid().*GetParam().grid)(), 0x00ABCDEFu);
}

INSTANTIATE_TEST_SUITE_P(Table, DlgConfigureColor, ::testing::ValuesIn(kColors),
                         [](const auto& row) { return "Color" + std::to_string(row.param.index); });

// However the window is left while the field still has the focus, the word typed is kept:
// without surrounding spaces and cut to 24 characters.
struct LeaveCase {
    const char* name;
    const char* typed;
    const char* kept;
    std::function<void(DlgConfigureTest&)> leave;
};
const LeaveCase kLeaves[] = {
    {"ExitMenu", "  Halls  ", "Halls",
     [](auto& t) { t.dialog->Action(Command::FileExit)->trigger(); }},
    {"ExitButton", "Conference and meeting rooms", "Conference and meeting r",
     [](auto& t) {
         DropDownToolButton* button = t.dialog->ToolBar()->Button("Exit");
         QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
     }},
    {"CloseBox", " Studios", "Studios",
     [](auto& t) {
         QCloseEvent close;
         QApplication::sendEvent(t.dialog, &close);
     }},
    {"Escape", "Desks ", "Desks",
     [](auto& t) { QTest::keyClick(t.dialog->TxtResType(), Qt::Key_Escape); }},
};

class DlgConfigureLeave : public DlgConfigureTest,
                          public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(DlgConfigureLeave, KeepsTheWordStillBeingTyped) {
    dialog->TxtResType()->selectAll();
    Type(GetParam().typed);
    EXPECT_EQ(store().ResourceType(), "Rooms") << "nothing stored while the field has the focus";
    GetParam().leave(*this);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(store().ResourceType(), GetParam().kept);
    // The next showing shows the word as it is kept.
    Open();
    EXPECT_EQ(dialog->TxtResType()->text(), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Table, DlgConfigureLeave, ::testing::ValuesIn(kLeaves),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(DlgConfigureTest, LeavingTheFieldStoresTheWord) {
    dialog->TxtResType()->selectAll();
    Type("  Vehicles and trailers on hire  ");
    dialog->ChkOption(0)->setFocus();
    EXPECT_EQ(store().ResourceType(), "Vehicles and trailers on");
    EXPECT_EQ(dialog->TxtResType()->text(), "Vehicles and trailers on") << "shown as kept";
    EXPECT_TRUE(dialog->isVisible());
}

// Every menu entry and toolbar button: caption, tip and effect.
struct ConfigureCommandCase {
    const char* name;
    Command command;
    const char* caption; // access key removed
    const char* key;     // its toolbar button
    std::function<bool(DlgConfigureTest&)> effect;
};
const ConfigureCommandCase kCommands[] = {
    {"Exit", Command::FileExit, "Exit", "Exit",
     [](auto& t) { return !t.dialog->isVisible() && t.ui.log.isEmpty(); }},
    {"Help", Command::Help, "Help", "Help",
     [](auto& t) {
         return t.dialog->isVisible() && t.ui.helps.size() == 1 &&
                t.ui.helps[0].request.context == 1 && t.ui.helps[0].owner == t.window.get();
     }},
};

class ConfigureCommands : public DlgConfigureTest,
                          public ::testing::WithParamInterface<ConfigureCommandCase> {};

TEST_P(ConfigureCommands, MenuEntry) {
    const ConfigureCommandCase& c = GetParam();
    QAction* action = dialog->Action(c.command);
    EXPECT_EQ(action->text().remove('&'), c.caption);
    EXPECT_TRUE(action->text().contains('&'));
    action->trigger();
    EXPECT_TRUE(c.effect(*this)) << ui.log.join(", ").toStdString();
}

TEST_P(ConfigureCommands, ToolBarButton) {
    const ConfigureCommandCase& c = GetParam();
    DropDownToolButton* button = dialog->ToolBar()->Button(c.key);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), c.key) << "key and tooltip alike";
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    EXPECT_TRUE(c.effect(*this)) << ui.log.join(", ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, ConfigureCommands, ::testing::ValuesIn(kCommands),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(DlgConfigureTest, MenusAndToolBarInOrder) {
    EXPECT_EQ(MenuLayout(dialog->MenuBar()), (QStringList{"File: Exit", "Help"}));
    EXPECT_EQ(dialog->ToolBar()->Layout().join(" "), "Exit Help");
    EXPECT_EQ(dialog->Action(Command::Help)->shortcut(), QKeySequence(Qt::Key_F1));
}

// Enter in the resource word keeps the window open and opens no colour dialog.
TEST_F(DlgConfigureTest, EnterInTheWordOpensNothing) {
    QTest::keyClick(dialog->TxtResType(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(ui.log.isEmpty());
}

} // namespace
