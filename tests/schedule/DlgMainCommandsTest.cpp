// Every menu entry and toolbar button of the main window: caption, shortcut, state and what
// it causes. A command wired to the wrong handler, a changed caption or a button that runs
// another command fails its own row.
#include <QCalendarWidget>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgConfigure.h"
#include "dialogs/DlgCustomer.h"
#include "dialogs/DlgDelete.h"
#include "dialogs/DlgResource.h"
#include "dialogs/DlgSearch.h"
#include "dialogs/DlgType.h"
#include "report/DlgPreview.h"
#include "ui/ScheduleRows.h"
#include "support/MainWindowFixture.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/MultiColumnList.h"

namespace {

using Command = DlgMain::Command;
using HelpCommand = IWindowing::HelpRequest::Command;
const int32_t kToday = MainWindowFixture::Day(2021, 6, 2);

// The sample data of a first run, shown from Monday 1 March 2021 in the week view, no row
// selected, and a bar on the grid that the store does not hold.
class DlgMainCommandsTest : public MainWindowFixture {
public:
    void SetUp() override {
        MainWindowFixture::SetUp();
        window->show();
        window->Form_Activate();
        int32_t start = Day(2021, 3, 1);
        window->SetScheduleDates(start);
        grid().SetCurrentRow(0);
        grid().SetBarData(1, grid().AddBar(1, 600, 660, start, start), kStray);
        ui.log.clear();
    }
    // The stray bar is gone: the grid was built again from the store.
    bool Rebuilt() {
        for (int row = 1; row <= grid().RowCount(); ++row) {
            for (int bar = 1; bar <= grid().BarCount(row); ++bar) {
                if (grid().BarData(row, bar) == kStray) {
                    return false;
                }
            }
        }
        return true;
    }
    static constexpr int32_t kStray = -1;
    bool HelpAsked(HelpCommand command, int context = 0) const {
        return ui.helps.size() == 1 && ui.helps[0].request.command == command &&
               ui.helps[0].request.context == context;
    }
    // The one dialog shown, of that class, and the grid rebuilt after it.
    bool Opened(const char* className) {
        return ui.log == QStringList{QString("ShowModal ") + className} && Rebuilt();
    }
    template <class T> T* Shown() const { return qobject_cast<T*>(ui.modals.value(0).dialog); }
    void WhileOpen(std::function<void(QDialog*)> act) {
        ui.modalActions.push_back([act](QDialog* dialog) {
            act(dialog);
            return dialog->result();
        });
    }
};

struct CommandCase {
    const char* name;
    Command command;
    const char* menu;                                 // the menu's title, access key removed
    const char* caption;                              // the entry's caption, access key removed
    const char* shortcut;                             // as Qt writes it, "" for none
    std::function<bool(DlgMainCommandsTest&)> effect; // checked after the command ran
    // Run before the command: what its dialog does while it is open.
    std::function<void(DlgMainCommandsTest&)> arrange = nullptr;
};

const CommandCase kCommands[] = {
    // The word typed in the dialog is the grid's title: the rebuild applied it.
    {"Configure", Command::FileConfigure, "File", "Configure", "",
     [](auto& t) { return t.Opened("DlgConfigure") && t.grid().ListTitle() == "Desks"; },
     [](auto& t) {
         t.WhileOpen([](QDialog* d) {
             if (auto* configure = qobject_cast<DlgConfigure*>(d)) {
                 configure->TxtResType()->setText("Desks");
             }
         });
     }},
    {"Print", Command::FilePrint, "File", "Print", "Ctrl+P",
     [](auto& t) { return t.ui.log == QStringList{"ShowModal DlgPreview"}; }},
    {"Exit", Command::FileExit, "File", "Exit", "Ctrl+Q",
     [](auto& t) { return !t.window->isVisible(); }},
    {"AddAppointment", Command::ApptAdd, "Appointment", "Add appointment", "",
     [](auto& t) {
         return t.Opened("DlgAppointment") &&
                t.template Shown<DlgAppointment>()->AppointmentId() == 0;
     }},
    {"EditAppointment", Command::ApptEdit, "Appointment", "Edit appointment", "",
     [](auto& t) {
         return t.Opened("DlgAppointment") &&
                t.template Shown<DlgAppointment>()->AppointmentId() == t.grid().BarData(1, 1);
     },
     [](auto& t) {
         int32_t today = kToday;
         t.window->SetScheduleDates(today);
         t.window->Sched_BarLeftClick(1, 1);
     }},
    // A resource added while the dialog is open shows: the window rebuilt after it.
    {"DeleteAppointment", Command::ApptDelete, "Appointment", "Delete appointment", "",
     [](auto& t) {
         return t.ui.log == QStringList{"ShowModal DlgDelete"} && t.grid().RowCount() == 4 &&
                t.grid().RowText(1).trimmed() == "Added while open";
     },
     [](auto& t) { t.WhileOpen([&t](QDialog*) { t.AddResource("Added while open"); }); }},
    // The last customer added, Tom Ashby, is searched; his earliest appointment today is on
    // Interview #1, the first row.
    {"Search", Command::ApptSearch, "Appointment", "Search for appointment", "Ctrl+F",
     [](auto& t) {
         return t.ui.log == QStringList{"ShowModal DlgSearch"} && t.grid().DateFirst() == kToday &&
                t.grid().CurrentRow() == 1 && t.grid().RowText(1).trimmed() == "Interview #1";
     },
     [](auto& t) {
         t.WhileOpen([](QDialog* d) {
             if (auto* search = qobject_cast<DlgSearch*>(d)) {
                 search->LbSearch()->SetListIndex(0);
                 search->mnuFileSelect_Click();
             }
         });
     }},
    {"AddResource", Command::ResourceAdd, "Resource", "Add resource", "",
     [](auto& t) {
         return t.Opened("DlgResource") && t.template Shown<DlgResource>()->ResourceId() == 0;
     }},
    {"EditResource", Command::ResourceEdit, "Resource", "Edit resource", "",
     [](auto& t) {
         return t.Opened("DlgResource") &&
                t.template Shown<DlgResource>()->ResourceId() == t.grid().RowData(2);
     },
     [](auto& t) { t.grid().SetCurrentRow(2); }},
    {"DeleteResource", Command::ResourceDelete, "Resource", "Delete resource", "",
     [](auto& t) {
         return t.ui.messages.size() == 1 && t.ui.messages[0].text == "No resource selected!" &&
                t.ui.messages[0].title == "No selection!" &&
                t.ui.messages[0].icon == IWindowing::Icon::Information;
     }},
    {"StartDate", Command::SchedDate, "Schedule", "Start date", "",
     [](auto& t) { return t.window->SelMonth()->isVisible(); }},
    {"Today", Command::SchedToday, "Schedule", "Set to todays date/time", "Ctrl+T",
     [](auto& t) { return t.grid().DateFirst() == kToday; }},
    // Four weeks from the Monday of the week shown.
    {"ChangeView", Command::SchedView, "Schedule", "Change view", "F5",
     [](auto& t) {
         return t.grid().TimeType() == 1 && t.grid().DateFirst() == t.Day(2021, 3, 1) &&
                t.grid().DateLast() == t.Day(2021, 3, 28);
     }},
    {"Resolution", Command::SchedZoom, "Schedule", "Schedule resolution", "",
     [](auto& t) { return t.window->Zoom()->isVisible(); }},
    {"Contents", Command::HelpContents, "Help", "Contents", "",
     [](auto& t) { return t.HelpAsked(HelpCommand::Contents); }},
    {"HelpMain", Command::HelpMain, "Help", "Help for Main Dialog", "F1",
     [](auto& t) { return t.HelpAsked(HelpCommand::Context, 0); }},
    {"HelpNavigate", Command::HelpNavigate, "Help", "Help with navigation", "",
     [](auto& t) { return t.HelpAsked(HelpCommand::Context, 10); }},
    {"About", Command::HelpAbout, "Help", "About", "",
     [](auto& t) { return t.ui.log == QStringList{"ShowModal DlgAbout"}; }},
};

class Commands : public DlgMainCommandsTest, public ::testing::WithParamInterface<CommandCase> {};

// Every command is enabled, in its menu, with access keys on the menu and the entry.
TEST_P(Commands, CaptionStateAndEffect) {
    const CommandCase& c = GetParam();
    QAction* action = window->Action(c.command);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->text().remove('&'), c.caption);
    EXPECT_EQ(action->shortcut().toString(), c.shortcut);
    EXPECT_TRUE(action->isEnabled());
    QString menu = "none";
    for (QAction* title : window->menuBar()->actions()) {
        if (title->menu()->actions().contains(action)) {
            menu = title->text().contains('&') && action->text().contains('&')
                       ? title->text().remove('&')
                       : "no access key";
        }
    }
    EXPECT_EQ(menu, c.menu);
    if (c.arrange) {
        c.arrange(*this);
    }
    action->trigger();
    EXPECT_TRUE(c.effect(*this)) << ui.log.join(", ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, Commands, ::testing::ValuesIn(kCommands),
                         [](const auto& row) { return std::string(row.param.name); });

// The menus in order, "-" for a separator.
TEST_F(DlgMainCommandsTest, MenusListTheirEntriesInOrder) {
    EXPECT_EQ(MenuLayout(window->menuBar()),
              (QStringList{"File: Configure, -, Print, Exit",
                           "Appointment: Add appointment, Edit appointment, Delete appointment, "
                           "-, Search for appointment",
                           "Resource: Add resource, Edit resource, Delete resource",
                           "Schedule: Start date, Set to todays date/time, -, Change view, "
                           "Schedule resolution",
                           "Help: Contents, Help for Main Dialog, Help with navigation, -, "
                           "About"}));
}

// Where a preview made here keeps its place; it outlives every window.
WindowState::Place& PreviewPlace() {
    static WindowState::Place place;
    return place;
}

// Every window, made on the main window as the program makes it.
struct WindowCase {
    const char* name;
    std::function<QWidget*(DlgMain&)> make;
};
const WindowCase kWindows[] = {
    {"Main", [](DlgMain& m) -> QWidget* { return &m; }},
    {"Preview",
     [](DlgMain& m) -> QWidget* {
         return new DlgPreview(
             m.WindowServices(), m.View(), [&m] { return ScheduleRows::FromGrid(*m.Sched()); },
             PreviewPlace());
     }},
    {"Appointment",
     [](DlgMain& m) -> QWidget* { return new DlgAppointment(m.WindowServices(), m.View()); }},
    {"Type", [](DlgMain& m) -> QWidget* { return new DlgType(m.WindowServices(), &m); }},
    {"Customer", [](DlgMain& m) -> QWidget* { return new DlgCustomer(m.WindowServices(), &m); }},
    {"Resource", [](DlgMain& m) -> QWidget* { return new DlgResource(m.WindowServices()); }},
    {"Configure",
     [](DlgMain& m) -> QWidget* { return new DlgConfigure(m.WindowServices(), m.View()); }},
    {"Search", [](DlgMain& m) -> QWidget* { return new DlgSearch(m.WindowServices()); }},
    {"Delete", [](DlgMain& m) -> QWidget* { return new DlgDelete(m.WindowServices(), m.View()); }},
};

class EveryWindow : public MainWindowFixture, public ::testing::WithParamInterface<WindowCase> {};

// In the menu bar and in every menu and submenu each entry has an access key no other entry of
// it has (Alt+O, Enter, 5 must choose one page size, not cycle between two); Tab passes the
// toolbar buttons by, so Space cannot fire one.
TEST_P(EveryWindow, AccessKeysDifferWithinEachMenuAndTabPassesTheToolbar) {
    QWidget* shown = GetParam().make(*window);
    const auto bars = shown->findChildren<QMenuBar*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(bars.size(), 1);
    std::function<void(const QString&, const QList<QAction*>&)> check =
        [&](const QString& path, const QList<QAction*>& entries) {
            QSet<QChar> keys;
            for (QAction* a : entries) {
                if (a->isSeparator() || !a->isVisible()) {
                    continue;
                }
                const QString text = a->text().replace("&&", "");
                const qsizetype at = text.indexOf('&');
                ASSERT_TRUE(at >= 0 && at + 1 < text.size()) << (path + text).toStdString();
                const QChar key = text.at(at + 1).toLower();
                EXPECT_FALSE(keys.contains(key)) << (path + text).toStdString();
                keys.insert(key);
                if (a->menu() != nullptr) {
                    check(path + text + " > ", a->menu()->actions());
                }
            }
        };
    check(QString(GetParam().name) + ": ", bars[0]->actions());
    const auto toolBars = shown->findChildren<KeyedToolBar*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(toolBars.size(), 1);
    for (QToolButton* button : toolBars[0]->findChildren<QToolButton*>()) {
        EXPECT_FALSE(button->focusPolicy() & Qt::TabFocus) << button->text().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EveryWindow, ::testing::ValuesIn(kWindows),
                         [](const auto& row) { return std::string(row.param.name); });

struct ButtonCase {
    const char* key;
    const char* tip;
    Command command; // the command a plain click runs; its row above says what that does
};
const ButtonCase kButtons[] = {
    {"Exit", "Exit", Command::FileExit},
    {"Configure", "Configuration", Command::FileConfigure},
    {"Resource", "Resource definition", Command::ResourceAdd},
    {"Appointment", "Make appointment", Command::ApptAdd},
    {"Date", "Set start date", Command::SchedDate},
    {"Today", "Set to todays date/time", Command::SchedToday},
    {"Search", "Search for appointment", Command::ApptSearch},
    {"View", "Change schedule view", Command::SchedView},
    {"Zoom", "Adjust schedule resolution", Command::SchedZoom},
    {"Print", "Print", Command::FilePrint},
    {"Help", "Help", Command::HelpContents},
};

class Buttons : public DlgMainCommandsTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(Buttons, TipStateAndTheCommandAClickRuns) {
    const ButtonCase& b = GetParam();
    DropDownToolButton* button = window->ToolButton(b.key);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), b.tip);
    EXPECT_TRUE(button->isEnabled());
    const CommandCase* row =
        std::find_if(std::begin(kCommands), std::end(kCommands),
                     [&](const CommandCase& c) { return c.command == b.command; });
    ASSERT_NE(row, std::end(kCommands));
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

// A click on the drop-down part offers add, edit and delete and runs the one chosen: Delete
// resource says there is no row, Delete appointment opens its dialog. A plain button has no
// drop-down part.
TEST_F(DlgMainCommandsTest, DropDownsOfferTheirThreeCommands) {
    const std::pair<const char*, const char*> rows[] = {{"Resource", "MessageBox No selection!"},
                                                        {"Appointment", "ShowModal DlgDelete"}};
    for (const auto& [key, effect] : rows) {
        SCOPED_TRACE(key);
        ui.popups.clear();
        ui.log.clear();
        ui.popupResults = {3};
        DropDownToolButton* button = window->ToolButton(key);
        QTest::mouseClick(button, Qt::LeftButton, {}, {button->width() - 3, button->height() / 2});
        ASSERT_EQ(ui.popups.size(), 1);
        QStringList captions;
        for (const auto& entry : ui.popups[0].entries) {
            captions << entry.text;
        }
        const QString what = QString(key).toLower();
        EXPECT_EQ(captions, (QStringList{"Add " + what, "Edit " + what, "Delete " + what}));
        ui.log.removeAll("PopupMenu");
        ui.log.removeAll("CursorPos");
        EXPECT_EQ(ui.log, QStringList{effect});
    }
    DropDownToolButton* exit = window->ToolButton("Exit");
    EXPECT_FALSE(exit->InDropDownPart({exit->width() - 3, exit->height() / 2}));
}

} // namespace
