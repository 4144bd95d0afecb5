// The configuration window: every change reaches the settings at once, colours reach the grid
// while the window is open, and the resource word is kept however the window is left.
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>

#include "dialogs/DlgConfigure.h"
#include "support/CommandHarness.h"
#include "support/ServicesFixture.h"
#include "widgets/ColorButton.h"
#include "widgets/DropDownToolButton.h"

namespace {

using Command = DlgConfigure::Command;

class DlgConfigureTest : public ServicesFixture {
public:
    void SetUp() override {
        ServicesFixture::SetUp();
        store().SetResourceType("Rooms");
        store().SetOption(2, false);
        store().SetDateFormat(1);
        store().SetColor(4, 0x00102030);
        dialog = new DlgConfigure(services(), schedule());
        Open();
    }
    void Open() {
        dialog->show();
        QApplication::setActiveWindow(dialog);
        QApplication::processEvents();
    }
    void Click(const char* key) {
        DropDownToolButton* button = dialog->ToolBar()->Button(key);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->toolTip(), key);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }

    DlgConfigure* dialog = nullptr;
};

// The settings as shown; each click writes its setting at once.
TEST_F(DlgConfigureTest, ShowsTheSettingsAndWritesEachClick) {
    EXPECT_EQ(dialog->windowTitle(), "Configuration");
    EXPECT_EQ(dialog->BtnColor(4)->Color(), 0x00102030u);
    EXPECT_TRUE(dialog->BtnDate(1)->isChecked());
    EXPECT_TRUE(dialog->TxtResType()->hasFocus());
    EXPECT_EQ(dialog->TxtResType()->selectedText(), "Rooms");
    const char* captions[] = {"Show timelines on schedule", "Auto-scroll to current time",
                              "Show tooltips", "Military time (00:00 - 23:59)"};
    const bool shown[] = {true, false, true, true};
    for (int i = 0; i < DlgConfigure::kOptions; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(dialog->ChkOption(i)->text().remove('&'), captions[i]);
        EXPECT_EQ(dialog->ChkOption(i)->isChecked(), shown[i]);
        QTest::mouseClick(dialog->ChkOption(i), Qt::LeftButton);
        EXPECT_EQ(store().Option(i + 1), !shown[i]);
    }
    for (int format : {0, 1}) {
        EXPECT_EQ(dialog->BtnDate(format)->text().remove('&'), format ? "mm/dd/yy" : "dd/mm/yy");
        QTest::mouseClick(dialog->BtnDate(format), Qt::LeftButton);
        EXPECT_EQ(store().DateFormat(), format);
    }
}

// Each colour: the picker starts from it, the choice reaches the setting, the button and the
// grid at once; a picker closed without a choice stores the same colour again.
TEST_F(DlgConfigureTest, ColoursReachTheSettingAndTheGridAtOnce) {
    uint32_t (ScheduleGrid::*grids[])()
        const = {&ScheduleGrid::BackColor, &ScheduleGrid::TitleBackColor, &ScheduleGrid::RulerColor,
                 &ScheduleGrid::ListBackColor, &ScheduleGrid::WeekendColor};
    for (int n = 0; n < DlgConfigure::kColors; ++n) {
        SCOPED_TRACE(n);
        const uint32_t before = static_cast<uint32_t>(store().Color(n));
        const uint32_t chosen = 0x00ABCD00u + static_cast<uint32_t>(n);
        EXPECT_EQ(dialog->BtnColor(n)->Color(), before);
        ui.colorsOffered.clear();
        ui.colors = {chosen, std::nullopt};
        QTest::mouseClick(dialog->BtnColor(n), Qt::LeftButton);
        QTest::mouseClick(dialog->BtnColor(n), Qt::LeftButton);
        EXPECT_EQ(ui.colorsOffered, (QList<uint32_t>{before, chosen}));
        EXPECT_EQ(store().Color(n), static_cast<int32_t>(chosen));
        EXPECT_EQ(dialog->BtnColor(n)->Color(), chosen);
        EXPECT_EQ((grid().*grids[n])(), chosen);
        if (n > 0) {
            EXPECT_NE(store().Color(n - 1), static_cast<int32_t>(chosen)) << "only its own";
        }
    }
}

// However the field loses the word, it is kept without surrounding spaces, cut to 24.
struct LeaveCase {
    const char* name;
    const char* typed;
    const char* kept;
    bool closes;
    std::function<void(DlgConfigureTest&)> leave;
};
const LeaveCase kLeaves[] = {
    {"ExitMenu", "  Halls  ", "Halls", true,
     [](auto& t) { t.dialog->Action(Command::FileExit)->trigger(); }},
    {"ExitButton", "Conference and meeting rooms", "Conference and meeting r", true,
     [](auto& t) { t.Click("Exit"); }},
    {"CloseBox", " Studios", "Studios", true,
     [](auto& t) {
         QCloseEvent close;
         QApplication::sendEvent(t.dialog, &close);
     }},
    {"Escape", "Desks ", "Desks", true,
     [](auto& t) { QTest::keyClick(t.dialog->TxtResType(), Qt::Key_Escape); }},
    {"FocusLeaves", "  Vehicles and trailers on hire  ", "Vehicles and trailers on", false,
     [](auto& t) { t.dialog->ChkOption(0)->setFocus(); }},
};

class DlgConfigureLeave : public DlgConfigureTest,
                          public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(DlgConfigureLeave, KeepsTheWordStillBeingTyped) {
    dialog->TxtResType()->selectAll();
    QTest::keyClicks(dialog->TxtResType(), GetParam().typed);
    EXPECT_EQ(store().ResourceType(), "Rooms") << "nothing stored while the field has the focus";
    GetParam().leave(*this);
    EXPECT_EQ(dialog->isVisible(), !GetParam().closes);
    EXPECT_EQ(store().ResourceType(), GetParam().kept);
    Open();
    EXPECT_EQ(dialog->TxtResType()->text(), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Table, DlgConfigureLeave, ::testing::ValuesIn(kLeaves),
                         [](const auto& row) { return std::string(row.param.name); });

using Row = CommandHarness::Row<DlgConfigureTest, DlgConfigure>;
const Row kCommands[] = {
    {"Exit", Command::FileExit, "File", "E&xit", "", false, "Exit", "Exit",
     [](auto& t, auto& d) { return !d.isVisible() && t.ui.log.isEmpty(); }},
    {"Help", Command::Help, "", "&Help", "F1", false, "Help", "Help",
     [](auto& t, auto& d) {
         return t.ui.log == QStringList{"Help 1"} && t.ui.helps[0].request.context == 1 &&
                t.ui.helps[0].owner == t.window.get() && d.isVisible();
     }},
};

class ConfigureCommands : public DlgConfigureTest,
                          public ::testing::WithParamInterface<CommandHarness::Case<Row>> {};

TEST_P(ConfigureCommands, MenuEntryAndButton) {
    ui.log.clear();
    CommandHarness::Check(*this, *dialog, *GetParam().row, GetParam().by);
}

INSTANTIATE_TEST_SUITE_P(Table, ConfigureCommands,
                         ::testing::ValuesIn(CommandHarness::Cases(kCommands)),
                         CommandHarness::CaseName<Row>);

// Enter in the word opens nothing.
TEST_F(DlgConfigureTest, MenusAndToolBar) {
    CommandHarness::ExpectMenusAndToolBar(*dialog, {"File: Exit", "Help"}, "Exit Help");
    ui.log.clear();
    QTest::keyClick(dialog->TxtResType(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(ui.log.isEmpty());
}

} // namespace
