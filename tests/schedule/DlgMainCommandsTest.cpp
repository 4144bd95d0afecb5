// Every menu entry and toolbar button of the main window: caption, shortcut, state and what
// it causes. A command wired to the wrong handler, a changed caption or a button that runs
// another command fails its own row.
#include <QAction>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QMenuBar>
#include <QSlider>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>
#include <variant>

#include "controls/DropDownToolButton.h"
#include "controls/KeyedToolBar.h"
#include "controls/MultiColumnList.h"
#include "controls/ScheduleGrid.h"
#include "datetime/Clock.h"
#include "datetime/ClsDate.h"
#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgConfigure.h"
#include "dialogs/DlgResource.h"
#include "dialogs/DlgSearch.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "store/ModError.h"
#include "support/ScriptedWindowing.h"
#include "support/TempDir.h"

namespace {

using Command = DlgMain::Command;
using HelpCommand = IWindowing::HelpRequest::Command;

class DlgMainCommandsTest : public ::testing::Test {
public:
    void SetUp() override {
        Clock::SetFixed(Clock::LocalTime{2021, 6, 2, 10, 0, 0});
        ModError::SetLogFile(ProgramFolders{dir.path()}.LogFile());
        window = std::make_unique<DlgMain>(ui, ProgramFolders{dir.path()});
        window->resize(900, 600);
        window->show();
        window->Form_Activate();
        // Somewhere else than today, in the week view, with no row selected.
        int32_t start = ClsDate::DayNumberFromCivil(2021, 3, 1);
        window->SetScheduleDates(start);
        window->Sched()->SetCurrentRow(0);
        ui.log.clear();
    }
    void TearDown() override {
        window.reset();
        Clock::SetFixed(std::nullopt);
    }

    bool HelpAsked(HelpCommand command, int context = 0) const {
        return ui.helps.size() == 1 && ui.helps[0].request.command == command &&
               ui.helps[0].request.context == context;
    }
    bool Said(const QString& text) const {
        return ui.messages.size() == 1 && ui.messages[0].text == text;
    }
    // The one dialog shown, of that class, and the grid rebuilt after it.
    bool Opened(const char* className) const {
        return ui.log == QStringList{QString("ShowModal ") + className} &&
               window->SelectedAppointment() == 0;
    }

    TempDir dir;
    ScriptedWindowing ui;
    std::unique_ptr<DlgMain> window;
};

struct CommandCase {
    const char* name;
    Command command;
    const char* menu;    // the menu's title, access key removed
    const char* caption; // the entry's caption, access key removed
    // The shortcut: a standard key, or a key combination (0 for none). Kept as plain values:
    // a QKeySequence cannot be made before the application exists.
    std::variant<QKeySequence::StandardKey, int> shortcut;
    bool enabled;
    std::function<bool(DlgMainCommandsTest&)> effect; // checked after the command ran
    // Run before the command: what its dialog does while it is open.
    std::function<void(DlgMainCommandsTest&)> arrange = nullptr;
};

const int32_t kToday = ClsDate::DayNumberFromCivil(2021, 6, 2);

// While a dialog is open, another resource is added: the grid shows it only if the window
// rebuilds after the dialog.
void AddResourceWhileOpen(DlgMainCommandsTest& t) {
    t.ui.modalActions.push_back([&t](QDialog*) {
        int32_t id = 0;
        t.window->Global().ResourceSave(id, "Added while open");
        return 0;
    });
}
bool Rebuilt(DlgMainCommandsTest& t) {
    const ScheduleGrid& grid = *t.window->Sched();
    return grid.RowCount() == 4 && grid.RowText(1).trimmed() == "Added while open";
}

const CommandCase kCommands[] = {
    {"Configure", Command::FileConfigure, "File", "Configure", 0, true,
     [](auto& t) {
         // The word typed in the dialog is the grid's title: the rebuild applied it.
         return t.ui.log == QStringList{"ShowModal DlgConfigure"} &&
                t.window->Sched()->ListTitle() == "Desks";
     },
     [](auto& t) {
         t.ui.modalActions.push_back([](QDialog* dialog) {
             qobject_cast<DlgConfigure*>(dialog)->TxtResType()->setText("Desks");
             return 0;
         });
     }},
    {"Print", Command::FilePrint, "File", "Print", QKeySequence::Print, true,
     [](auto& t) { return t.ui.log == QStringList{"ShowModal DlgPreview"}; }},
    {"Exit", Command::FileExit, "File", "Exit", (Qt::CTRL | Qt::Key_Q).toCombined(), true,
     [](auto& t) { return !t.window->isVisible(); }},
    {"AddAppointment", Command::ApptAdd, "Appointment", "Add appointment", 0, true,
     [](auto& t) {
         auto* d = qobject_cast<DlgAppointment*>(t.ui.modals.value(0).dialog);
         return t.Opened("DlgAppointment") && d->AppointmentId() == 0;
     }},
    {"EditAppointment", Command::ApptEdit, "Appointment", "Edit appointment", 0, true,
     [](auto& t) {
         auto* d = qobject_cast<DlgAppointment*>(t.ui.modals.value(0).dialog);
         return t.Opened("DlgAppointment") &&
                d->AppointmentId() == t.window->Sched()->BarData(1, 1);
     },
     [](auto& t) {
         int32_t today = kToday;
         t.window->SetScheduleDates(today);
         t.window->Sched_BarLeftClick(1, 1);
     }},
    {"DeleteAppointment", Command::ApptDelete, "Appointment", "Delete appointment", 0, true,
     [](auto& t) { return t.ui.log == QStringList{"ShowModal DlgDelete"} && Rebuilt(t); },
     AddResourceWhileOpen},
    // The last customer added, Tom Ashby, is searched; his earliest appointment today is on
    // Interview #1, the first row.
    {"Search", Command::ApptSearch, "Appointment", "Search for appointment", QKeySequence::Find,
     true,
     [](auto& t) {
         const ScheduleGrid& grid = *t.window->Sched();
         return t.ui.log == QStringList{"ShowModal DlgSearch"} && grid.DateFirst() == kToday &&
                grid.CurrentRow() == 1 && grid.RowText(1).trimmed() == "Interview #1";
     },
     [](auto& t) {
         t.ui.modalActions.push_back([](QDialog* dialog) {
             auto* search = qobject_cast<DlgSearch*>(dialog);
             search->LbSearch()->SetListIndex(0);
             search->mnuFileSelect_Click();
             return QDialog::Accepted;
         });
     }},
    {"AddResource", Command::ResourceAdd, "Resource", "Add resource", 0, true,
     [](auto& t) {
         auto* d = qobject_cast<DlgResource*>(t.ui.modals.value(0).dialog);
         return t.Opened("DlgResource") && d->ResourceId() == 0;
     }},
    {"EditResource", Command::ResourceEdit, "Resource", "Edit resource", 0, true,
     [](auto& t) {
         auto* d = qobject_cast<DlgResource*>(t.ui.modals.value(0).dialog);
         return t.Opened("DlgResource") && d->ResourceId() == t.window->Sched()->RowData(2);
     },
     [](auto& t) { t.window->Sched()->SetCurrentRow(2); }},
    {"DeleteResource", Command::ResourceDelete, "Resource", "Delete resource", 0, true,
     [](auto& t) { return t.Said("No resource selected!"); }},
    {"StartDate", Command::SchedDate, "Schedule", "Start date", 0, true,
     [](auto& t) { return t.window->SelMonth()->isVisible(); }},
    {"Today", Command::SchedToday, "Schedule", "Set to todays date/time",
     (Qt::CTRL | Qt::Key_T).toCombined(), true,
     [](auto& t) { return t.window->Sched()->DateFirst() == kToday; }},
    {"ChangeView", Command::SchedView, "Schedule", "Change view", Qt::Key_F5, true,
     [](auto& t) { return t.window->Sched()->TimeType() == 1; }},
    {"Resolution", Command::SchedZoom, "Schedule", "Schedule resolution", 0, true,
     [](auto& t) { return t.window->Zoom()->isVisible(); }},
    {"Contents", Command::HelpContents, "Help", "Contents", 0, true,
     [](auto& t) { return t.HelpAsked(HelpCommand::Contents); }},
    {"HelpMain", Command::HelpMain, "Help", "Help for Main Dialog", Qt::Key_F1, true,
     [](auto& t) { return t.HelpAsked(HelpCommand::Context, 0); }},
    {"HelpNavigate", Command::HelpNavigate, "Help", "Help with navigation", 0, true,
     [](auto& t) { return t.HelpAsked(HelpCommand::Context, 10); }},
    {"About", Command::HelpAbout, "Help", "About", 0, true,
     [](auto& t) { return t.ui.log == QStringList{"ShowModal DlgAbout"}; }},
};

class Commands : public DlgMainCommandsTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(Commands, CaptionStateAndEffect) {
    const CommandCase& c = GetParam();
    QAction* action = window->Action(c.command);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text().remove('&'), c.caption);
    EXPECT_EQ(action->shortcut(),
              std::holds_alternative<int>(c.shortcut)
                  ? QKeySequence(std::get<int>(c.shortcut))
                  : QKeySequence(std::get<QKeySequence::StandardKey>(c.shortcut)));
    EXPECT_EQ(action->isEnabled(), c.enabled);
    QMenu* menu = nullptr;
    for (QAction* title : window->menuBar()->actions()) {
        if (title->menu() != nullptr && title->menu()->actions().contains(action)) {
            menu = title->menu();
            EXPECT_EQ(title->text().remove('&'), c.menu);
            EXPECT_TRUE(title->text().contains('&')) << "an access key for the menu";
        }
    }
    ASSERT_NE(menu, nullptr) << "the command is in a menu";
    EXPECT_TRUE(action->text().contains('&')) << "an access key for the entry";
    if (c.enabled) {
        if (c.arrange) {
            c.arrange(*this);
        }
        action->trigger();
        EXPECT_TRUE(c.effect(*this)) << ui.log.join(", ").toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Commands, ::testing::ValuesIn(kCommands),
                         [](const auto& row) { return std::string(row.param.name); });

// The menus in order, "-" for a separator; access keys differ within each menu.
TEST_F(DlgMainCommandsTest, MenusListTheirEntriesInOrder) {
    QStringList menus;
    for (QAction* title : window->menuBar()->actions()) {
        QStringList entries;
        QSet<QChar> keys;
        for (QAction* a : title->menu()->actions()) {
            entries << (a->isSeparator() ? "-" : a->text().remove('&'));
            if (!a->isSeparator()) {
                qsizetype at = a->text().indexOf('&');
                ASSERT_GE(at, 0) << a->text().toStdString();
                QChar key = a->text().at(at + 1).toLower();
                EXPECT_FALSE(keys.contains(key)) << a->text().toStdString();
                keys.insert(key);
            }
        }
        menus << title->text().remove('&') + ": " + entries.join(", ");
    }
    EXPECT_EQ(menus,
              (QStringList{"File: Configure, -, Print, Exit",
                           "Appointment: Add appointment, Edit appointment, Delete appointment, "
                           "-, Search for appointment",
                           "Resource: Add resource, Edit resource, Delete resource",
                           "Schedule: Start date, Set to todays date/time, -, Change view, "
                           "Schedule resolution",
                           "Help: Contents, Help for Main Dialog, Help with navigation, -, "
                           "About"}));
}

struct ButtonCase {
    const char* key;
    const char* tip;
    bool enabled;
    // The command a plain click runs; its row above says what that does.
    Command command;
};
const ButtonCase kButtons[] = {
    {"Exit", "Exit", true, Command::FileExit},
    {"Configure", "Configuration", true, Command::FileConfigure},
    {"Resource", "Resource definition", true, Command::ResourceAdd},
    {"Appointment", "Make appointment", true, Command::ApptAdd},
    {"Date", "Set start date", true, Command::SchedDate},
    {"Today", "Set to todays date/time", true, Command::SchedToday},
    {"Search", "Search for appointment", true, Command::ApptSearch},
    {"View", "Change schedule view", true, Command::SchedView},
    {"Zoom", "Adjust schedule resolution", true, Command::SchedZoom},
    {"Print", "Print", true, Command::FilePrint},
    {"Help", "Help", true, Command::HelpContents},
};

class Buttons : public DlgMainCommandsTest, public ::testing::WithParamInterface<ButtonCase> {};

// A plain click on a button does what its command does.
TEST_P(Buttons, TipStateAndTheCommandAClickRuns) {
    const ButtonCase& b = GetParam();
    DropDownToolButton* button = window->ToolButton(b.key);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), b.tip);
    EXPECT_EQ(button->isEnabled(), b.enabled);
    const CommandCase* row = nullptr;
    for (const CommandCase& c : kCommands) {
        if (c.command == b.command) {
            row = &c;
        }
    }
    ASSERT_NE(row, nullptr);
    if (!b.enabled || !row->enabled) {
        return;
    }
    if (row->arrange) {
        row->arrange(*this);
    }
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    EXPECT_TRUE(row->effect(*this)) << ui.log.join(", ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, Buttons, ::testing::ValuesIn(kButtons),
                         [](const auto& row) { return std::string(row.param.key); });

TEST_F(DlgMainCommandsTest, ToolBarOrderAndSeparators) {
    EXPECT_EQ(window->ToolBar()->Layout().join(" "),
              "Exit | Configure Resource Appointment Date Today Search | View Zoom | Print | Help");
}

// The drop-down part offers add, edit and delete, greyed as their commands are, and runs
// the one chosen.
TEST_F(DlgMainCommandsTest, DropDownsOfferTheirThreeCommands) {
    const struct {
        const char* key;
        QStringList captions;
        QStringList effect; // what the chosen third entry did
    } rows[] = {{"Resource",
                 {"Add resource", "Edit resource", "Delete resource"},
                 {"MessageBox No selection!"}},
                {"Appointment",
                 {"Add appointment", "Edit appointment", "Delete appointment"},
                 {"ShowModal DlgDelete"}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.key);
        ui.popups.clear();
        ui.popupResults = {3};
        window->ToolBar_ButtonClick(row.key, true);
        ASSERT_EQ(ui.popups.size(), 1);
        QStringList captions;
        for (const auto& entry : ui.popups[0].entries) {
            captions << entry.text;
        }
        EXPECT_EQ(captions, row.captions);
        // Delete resource says there is no row; Delete appointment opens its dialog.
        ui.log.removeAll("PopupMenu");
        ui.log.removeAll("CursorPos");
        EXPECT_EQ(ui.log, row.effect);
        ui.log.clear();
    }
}

} // namespace
