// Every menu entry and toolbar button of the main window: caption, shortcut, state and what
// it causes, by the menu and by the button.
#include <QCalendarWidget>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <cstring>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgConfigure.h"
#include "dialogs/DlgDelete.h"
#include "dialogs/DlgExport.h"
#include "dialogs/DlgResource.h"
#include "dialogs/DlgSearch.h"
#include "store/StoreObserver.h"
#include "support/CommandHarness.h"
#include "support/MainWindowFixture.h"
#include "ui/EditHistory.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/MaskedDateField.h"
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
    // Selects today's first booking on the first row, as Tab would.
    void Pick() {
        int32_t today = kToday;
        window->SetScheduleDates(today);
        window->Sched_BarKeySelect(1, 1);
        picked = window->SelectedAppointment();
        count = store().Appointments().Count();
    }
    // A click on a new, empty row at 10:00 today.
    void ClickFreeRow() {
        const int32_t resource = AddResource("Free");
        for (int row = 1; row <= grid().RowCount(); ++row) {
            if (grid().RowData(row) == resource) {
                freeRow = row;
            }
        }
        grid().ScrollToTime(kToday, 600);
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                          grid().PointFor(kToday, 600, freeRow));
    }
    bool Held(int32_t id) const { return window->Global().Appointments().Get(id) != nullptr; }
    int32_t picked = 0;
    size_t count = 0;
    int freeRow = 0;
    bool HelpAsked(HelpCommand command, int context = 0) const {
        return ui.helps.size() == 1 && ui.helps[0].request.command == command &&
               ui.helps[0].request.context == context;
    }
    // The one dialog shown, of that class, and the grid rebuilt after it.
    bool Opened(const char* className) {
        return ui.log == QStringList{QString("ShowModal ") + className} && Rebuilt();
    }
    // A booking of the second row from 2:00 to 3:00 on the first day shown, selected; its type
    // steps by a quarter of an hour.
    void SelectNightBooking() {
        nudged = AddAppointment(grid().RowData(2), 0, AddType("Nudge"), Day(2021, 3, 1), 120, 180);
        for (int bar = 1; bar <= grid().BarCount(2); ++bar) {
            if (grid().BarData(2, bar) == nudged) {
                window->Sched_BarLeftClick(2, bar);
            }
        }
    }
    // It is stored there, and still selected.
    bool NudgedTo(int row, int startMinute, int endMinute) {
        const auto a = store().AppointmentLoad(nudged);
        return std::tuple(a->ResourceId(), a->StartDtTm(), a->EndDtTm(),
                          window->SelectedAppointment()) ==
               std::tuple(grid().RowData(row), date.JoinDateTime(Day(2021, 3, 1), startMinute),
                          date.JoinDateTime(Day(2021, 3, 1), endMinute), nudged);
    }
    int32_t nudged = 0;
    // A booking deleted through the change interface, as a dialog would.
    void DeleteABooking(DlgMain& w) {
        deleted = *store().Appointments().begin();
        ASSERT_TRUE(w.Changes().AppointmentDelete(deleted.Id()));
    }
    bool DeletedIsBack() {
        const ClsAppointment* stored = store().Appointments().Get(deleted.Id());
        return stored != nullptr && std::memcmp(stored, &deleted, sizeof deleted) == 0;
    }
    ClsAppointment deleted{ClsAppointment::Blank{}};
    template <class T> T* Shown() const { return qobject_cast<T*>(ui.modals.value(0).dialog); }
    void WhileOpen(std::function<void(QDialog*)> act) {
        ui.modalActions.push_back([act](QDialog* dialog) {
            act(dialog);
            return dialog->result();
        });
    }
};

using Row = CommandHarness::Row<DlgMainCommandsTest, DlgMain>;

const Row kCommands[] = {
    // The word typed in the dialog is the grid's title: the rebuild applied it.
    {"Configure", Command::FileConfigure, "File", "Configure", "", false, "Configure",
     "Configuration",
     [](auto& t, auto&) { return t.Opened("DlgConfigure") && t.grid().ListTitle() == "Desks"; },
     [](auto& t, auto&) {
         t.WhileOpen([](QDialog* d) {
             if (auto* configure = qobject_cast<DlgConfigure*>(d)) {
                 configure->TxtResType()->setText("Desks");
             }
         });
     }},
    // Nothing set yet: the dialog opens on empty fields and Cancel leaves no sync behind.
    {"CalendarServer", Command::FileCalendarServer, "File", "Calendar server...", "", false,
     nullptr, nullptr,
     [](auto& t, auto& w) {
         return t.ui.log == QStringList{"ShowModal DlgCalendarServer"} && w.Sync() == nullptr;
     }},
    {"Print", Command::FilePrint, "File", "Print", "Ctrl+P", false, "Print", "Print",
     [](auto& t, auto&) { return t.ui.log == QStringList{"ShowModal DlgPreview"}; }},
    {"Import", Command::FileImport, "File", "Import...", "", false, nullptr, nullptr,
     [](auto& t, auto&) { return t.Opened("DlgImport"); }},
    // The range offered is the one the schedule shows.
    {"Export", Command::FileExport, "File", "Export...", "", false, nullptr, nullptr,
     [](auto& t, auto&) {
         const DlgExport* shown = t.template Shown<DlgExport>();
         return t.ui.log == QStringList{"ShowModal DlgExport"} &&
                shown->DateFrom()->Value() == t.grid().DateFirst() &&
                shown->DateTo()->Value() == t.grid().DateLast();
     }},
    {"Exit", Command::FileExit, "File", "Exit", "Ctrl+Q", false, "Exit", "Exit",
     [](auto& t, auto&) { return !t.window->isVisible(); }},
    // The step taken back is the one the menu names, and the grid shows its booking again.
    {"Undo", Command::EditUndo, "Edit", "Undo Delete appointment", "Ctrl+Z", false, "Undo",
     "Undo Delete appointment",
     [](auto& t, auto& w) {
         return t.DeletedIsBack() && w.SelectedAppointment() == t.deleted.Id() &&
                w.History().RedoText() == "Delete appointment" && !w.History().CanUndo() &&
                !w.Action(Command::EditUndo)->isEnabled();
     },
     [](auto& t, auto& w) { t.DeleteABooking(w); }},
    {"Redo", Command::EditRedo, "Edit", "Redo Delete appointment", "Ctrl+Shift+Z", false, "Redo",
     "Redo Delete appointment",
     [](auto& t, auto& w) {
         return !t.store().Appointments().Exists(t.deleted.Id()) &&
                w.History().UndoText() == "Delete appointment" && !w.History().CanRedo();
     },
     [](auto& t, auto& w) {
         t.DeleteABooking(w);
         w.History().Undo();
     }},
    {"Cut", Command::EditCut, "Edit", "Cut", "Ctrl+X", false, nullptr, nullptr,
     [](auto& t, auto& w) {
         return t.picked != 0 && !t.Held(t.picked) && w.Action(Command::EditPaste)->isEnabled();
     },
     [](auto& t, auto&) { t.Pick(); }},
    {"Copy", Command::EditCopy, "Edit", "Copy", "Ctrl+C", false, nullptr, nullptr,
     [](auto& t, auto& w) {
         return t.Held(t.picked) && w.Action(Command::EditPaste)->isEnabled() && t.ui.log.isEmpty();
     },
     [](auto& t, auto&) { t.Pick(); }},
    {"Paste", Command::EditPaste, "Edit", "Paste", "Ctrl+V", false, nullptr, nullptr,
     [](auto& t, auto&) {
         return t.store().Appointments().Count() == t.count + 1 &&
                t.grid().BarCount(t.freeRow) == 1 && t.ui.log.isEmpty();
     },
     [](auto& t, auto& w) {
         t.Pick();
         w.mnuEditCopy_Click();
         t.ClickFreeRow();
     }},
    {"Duplicate", Command::EditDuplicate, "Edit", "Duplicate", "Ctrl+D", false, nullptr, nullptr,
     [](auto& t, auto& w) {
         return t.store().Appointments().Count() == t.count + 1 &&
                w.SelectedAppointment() != t.picked && t.Held(w.SelectedAppointment());
     },
     [](auto& t, auto&) { t.Pick(); }},
    {"AddAppointment", Command::ApptAdd, "Appointment", "Add appointment", "", false, "Appointment",
     "Make appointment",
     [](auto& t, auto&) {
         return t.Opened("DlgAppointment") &&
                t.template Shown<DlgAppointment>()->AppointmentId() == 0;
     }},
    {"EditAppointment", Command::ApptEdit, "Appointment", "Edit appointment", "", false, nullptr,
     nullptr,
     [](auto& t, auto&) {
         return t.Opened("DlgAppointment") &&
                t.template Shown<DlgAppointment>()->AppointmentId() == t.grid().BarData(1, 1);
     },
     [](auto& t, auto&) {
         int32_t today = kToday;
         t.window->SetScheduleDates(today);
         t.window->Sched_BarLeftClick(1, 1);
     }},
    // A resource added while the dialog is open shows: the window rebuilt after it.
    {"DeleteAppointment", Command::ApptDelete, "Appointment", "Delete appointment", "", false,
     nullptr, nullptr,
     [](auto& t, auto&) {
         return t.ui.log == QStringList{"ShowModal DlgDelete"} && t.grid().RowCount() == 4 &&
                t.grid().RowText(1).trimmed() == "Added while open";
     },
     [](auto& t, auto&) { t.WhileOpen([&t](QDialog*) { t.AddResource("Added while open"); }); }},
    {"MoveEarlier", Command::ApptEarlier, "Appointment", "Move earlier", "Alt+Left", false, nullptr,
     nullptr, [](auto& t, auto&) { return t.NudgedTo(2, 105, 165); },
     [](auto& t, auto&) { t.SelectNightBooking(); }},
    {"MoveLater", Command::ApptLater, "Appointment", "Move later", "Alt+Right", false, nullptr,
     nullptr, [](auto& t, auto&) { return t.NudgedTo(2, 135, 195); },
     [](auto& t, auto&) { t.SelectNightBooking(); }},
    {"Shorten", Command::ApptShorten, "Appointment", "Shorten", "Alt+Shift+Left", false, nullptr,
     nullptr, [](auto& t, auto&) { return t.NudgedTo(2, 120, 165); },
     [](auto& t, auto&) { t.SelectNightBooking(); }},
    {"Lengthen", Command::ApptLengthen, "Appointment", "Lengthen", "Alt+Shift+Right", false,
     nullptr, nullptr, [](auto& t, auto&) { return t.NudgedTo(2, 120, 195); },
     [](auto& t, auto&) { t.SelectNightBooking(); }},
    {"RowUp", Command::ApptRowUp, "Appointment", "Move up a row", "Alt+Up", false, nullptr, nullptr,
     [](auto& t, auto&) { return t.NudgedTo(1, 120, 180); },
     [](auto& t, auto&) { t.SelectNightBooking(); }},
    {"RowDown", Command::ApptRowDown, "Appointment", "Move down a row", "Alt+Down", false, nullptr,
     nullptr, [](auto& t, auto&) { return t.NudgedTo(3, 120, 180); },
     [](auto& t, auto&) { t.SelectNightBooking(); }},
    // The last customer added, Tom Ashby, is searched; his earliest appointment today is on
    // Interview #1, the first row.
    {"Search", Command::ApptSearch, "Appointment", "Search for appointment", "Ctrl+F", false,
     "Search", "Search for appointment",
     [](auto& t, auto&) {
         return t.ui.log == QStringList{"ShowModal DlgSearch"} && t.grid().DateFirst() == kToday &&
                t.grid().CurrentRow() == 1 && t.grid().RowText(1).trimmed() == "Interview #1";
     },
     [](auto& t, auto&) {
         t.WhileOpen([](QDialog* d) {
             if (auto* search = qobject_cast<DlgSearch*>(d)) {
                 search->LbSearch()->SetListIndex(0);
                 search->mnuFileSelect_Click();
             }
         });
     }},
    {"AddResource", Command::ResourceAdd, "Resource", "Add resource", "", false, "Resource",
     "Resource definition",
     [](auto& t, auto&) {
         return t.Opened("DlgResource") && t.template Shown<DlgResource>()->ResourceId() == 0;
     }},
    {"EditResource", Command::ResourceEdit, "Resource", "Edit resource", "", false, nullptr,
     nullptr,
     [](auto& t, auto&) {
         return t.Opened("DlgResource") &&
                t.template Shown<DlgResource>()->ResourceId() == t.grid().RowData(2);
     },
     [](auto& t, auto&) { t.grid().SetCurrentRow(2); }},
    {"DeleteResource", Command::ResourceDelete, "Resource", "Delete resource", "", false, nullptr,
     nullptr,
     [](auto& t, auto&) {
         return t.ui.messages.size() == 1 && t.ui.messages[0].text == "No resource selected!" &&
                t.ui.messages[0].title == "No selection!" &&
                t.ui.messages[0].icon == IWindowing::Icon::Information;
     }},
    {"StartDate", Command::SchedDate, "Schedule", "Start date", "", false, "Date", "Set start date",
     [](auto& t, auto&) { return t.window->SelMonth()->isVisible(); }},
    {"Today", Command::SchedToday, "Schedule", "Set to todays date/time", "Ctrl+T", false, "Today",
     "Set to todays date/time", [](auto& t, auto&) { return t.grid().DateFirst() == kToday; }},
    // Four weeks from the Monday of the week shown.
    {"ChangeView", Command::SchedView, "Schedule", "Change view", "F5", false, "View",
     "Change schedule view",
     [](auto& t, auto&) {
         return t.grid().TimeType() == 1 && t.grid().DateFirst() == t.Day(2021, 3, 1) &&
                t.grid().DateLast() == t.Day(2021, 3, 28);
     }},
    {"Resolution", Command::SchedZoom, "Schedule", "Schedule resolution", "", false, "Zoom",
     "Adjust schedule resolution", [](auto& t, auto&) { return t.window->Zoom()->isVisible(); }},
    {"ZoomIn", Command::SchedZoomIn, "Schedule", "Zoom in", "Ctrl++", false, nullptr, nullptr,
     [](auto& t, auto&) { return t.grid().Resolution() > ScheduleGrid::ResolutionInitial(); }},
    {"ZoomOut", Command::SchedZoomOut, "Schedule", "Zoom out", "Ctrl+-", false, nullptr, nullptr,
     [](auto& t, auto&) { return t.grid().Resolution() < ScheduleGrid::ResolutionInitial(); }},
    {"Contents", Command::HelpContents, "Help", "Contents", "", false, "Help", "Help",
     [](auto& t, auto&) { return t.HelpAsked(HelpCommand::Contents); }},
    {"HelpMain", Command::HelpMain, "Help", "Help for Main Dialog", "F1", false, nullptr, nullptr,
     [](auto& t, auto&) { return t.HelpAsked(HelpCommand::Context, 0); }},
    {"HelpNavigate", Command::HelpNavigate, "Help", "Help with navigation", "", false, nullptr,
     nullptr, [](auto& t, auto&) { return t.HelpAsked(HelpCommand::Context, 10); }},
    {"About", Command::HelpAbout, "Help", "About", "", false, nullptr, nullptr,
     [](auto& t, auto&) { return t.ui.log == QStringList{"ShowModal DlgAbout"}; }},
};

class Commands : public DlgMainCommandsTest,
                 public ::testing::WithParamInterface<CommandHarness::Case<Row>> {};

TEST_P(Commands, CaptionStateAndEffect) {
    CommandHarness::Check(*this, *window, *GetParam().row, GetParam().by);
}

INSTANTIATE_TEST_SUITE_P(Table, Commands, ::testing::ValuesIn(CommandHarness::Cases(kCommands)),
                         CommandHarness::CaseName<Row>);

// A change of bookings builds only their resources' rows again, as a whole rebuild would
// build them: the stray bar on the first row, which nothing touched, is still there.
TEST_F(DlgMainCommandsTest, AChangeOfBookingsRebuildsOnlyTheirRows) {
    const auto bars = [this](int row) {
        QStringList out;
        for (int bar = 1; bar <= grid().BarCount(row); ++bar) {
            out << QString("%1 %2-%3 %4 %5")
                       .arg(grid().BarData(row, bar))
                       .arg(grid().BarStartMinute(row, bar))
                       .arg(grid().BarEndMinute(row, bar))
                       .arg(grid().BarText(row, bar))
                       .arg(grid().BarColor(row, bar));
        }
        return out;
    };
    SelectNightBooking();
    grid().SetBarData(1, grid().AddBar(1, 600, 660, Day(2021, 3, 1), Day(2021, 3, 1)), kStray);
    int32_t id = nudged;
    const auto a = store().AppointmentLoad(id);
    window->Changes().AppointmentSave(id, a->CustomerId(), grid().RowData(3), a->TypeId(),
                                      a->StartDtTm(), a->EndDtTm(), "moved");
    EXPECT_EQ(window->SelectedAppointment(), 0) << "a rebuild clears the selection";
    EXPECT_EQ(grid().SelectedBar(), ScheduleGrid::Hit{});
    EXPECT_TRUE(bars(1).join(" ").contains(QString::number(kStray) + " 600-660"));
    const QStringList second = bars(2);
    const QStringList third = bars(3);
    window->ShowResources();
    EXPECT_EQ(second, bars(2));
    EXPECT_EQ(third, bars(3));
    EXPECT_TRUE(third.join(" ").contains(QString::number(nudged) + " 120-180"));
}

// A booking made around the history fills the slot: the undo says with what, and stays.
TEST_F(DlgMainCommandsTest, AnUndoThatWouldCollideSaysWhyAndStays) {
    DeleteABooking(*window);
    // Only a test holds the window's store writable.
    auto& writable = const_cast<ClsGlobal&>(store());
    StoreObserver* observer = writable.SetObserver(nullptr);
    int32_t id = 0;
    writable.AppointmentSave(id, deleted.CustomerId(), deleted.ResourceId(), deleted.TypeId(),
                             deleted.StartDtTm(), deleted.EndDtTm(), "");
    writable.SetObserver(observer);
    window->Action(Command::EditUndo)->trigger();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].text.startsWith(
        "Cannot undo \"Delete appointment\": the time is taken.\nCollides with "))
        << ui.messages[0].text.toStdString();
    EXPECT_FALSE(DeletedIsBack());
    EXPECT_TRUE(window->Action(Command::EditUndo)->isEnabled());
    EXPECT_EQ(window->History().UndoText(), "Delete appointment");
}

TEST_F(DlgMainCommandsTest, MenusAndToolBarInOrder) {
    CommandHarness::ExpectMenusAndToolBar(
        *window,
        {"File: Configure, Calendar server..., -, Print, -, Import..., Export..., -, Exit",
         "Edit: Undo, Redo, -, Cut, Copy, Paste, Duplicate",
         "Appointment: Add appointment, Edit appointment, Delete appointment, -, Move earlier, "
         "Move later, Shorten, Lengthen, Move up a row, Move down a row, -, Search for "
         "appointment",
         "Resource: Add resource, Edit resource, Delete resource",
         "Schedule: Start date, Set to todays date/time, -, Change view, Schedule resolution, "
         "Zoom in, Zoom out",
         "Help: Contents, Help for Main Dialog, Help with navigation, -, About"},
        "Exit | Undo Redo | Configure Resource Appointment Date Today Search | View Zoom | Print | "
        "Help");
}

// A click on the drop-down part offers add, edit and delete and runs the one chosen: Delete
// resource says there is no row, Delete appointment opens its dialog. A plain button has no
// drop-down part.
TEST_F(DlgMainCommandsTest, DropDownsOfferTheirThreeCommands) {
    const std::pair<const char*, const char*> rows[] = {{"Resource", "MessageBox No selection!"},
                                                        {"Appointment", "ShowModal DlgDelete"}};
    for (const auto& [key, effect] : rows) {
        SCOPED_TRACE(key);
        ui.log.clear();
        const QString what = QString(key).toLower();
        EXPECT_EQ(CommandHarness::DropDownOffers(ui, window->ToolButton(key), 3),
                  (QStringList{"Add " + what, "Edit " + what, "Delete " + what}));
        ui.log.removeAll("PopupMenu");
        ui.log.removeAll("CursorPos");
        EXPECT_EQ(ui.log, QStringList{effect});
    }
    DropDownToolButton* exit = window->ToolButton("Exit");
    EXPECT_FALSE(exit->InDropDownPart({exit->width() - 3, exit->height() / 2}));
}

} // namespace

namespace {
// The search window's Export offers what it found, over the schedule's range.
TEST_F(DlgMainCommandsTest, SearchExportsItsResults) {
    std::vector<int32_t> found;
    bool offered = false;
    WhileOpen([&](QDialog* d) {
        auto* search = qobject_cast<DlgSearch*>(d);
        ASSERT_NE(search, nullptr);
        found = search->ResultIds();
        WhileOpen([&](QDialog* e) {
            auto* exporting = qobject_cast<DlgExport*>(e);
            ASSERT_NE(exporting, nullptr);
            offered = exporting->OptWhat(DlgExport::What::SearchResults)->isChecked();
        });
        search->Action(DlgSearch::Command::FileExport)->trigger();
    });
    window->mnuApptSearch_Click();
    EXPECT_FALSE(found.empty());
    EXPECT_TRUE(offered);
    EXPECT_EQ(ui.log, (QStringList{"ShowModal DlgSearch", "ShowModal DlgExport"}));
}
} // namespace
