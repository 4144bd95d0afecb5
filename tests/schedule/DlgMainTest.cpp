#include <QDialog>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/SignalWatcher.h"
#include "platform/Twips.h"
#include "schedule/AutoSave.h"
#include "schedule/SessionEnd.h"
#include "store/InstanceLock.h"
#include "support/FaultyFileSystem.h"
#include "support/MainWindowFixture.h"
#include "widgets/DropDownToolButton.h"

namespace {

using Answer = IWindowing::Answer;
constexpr auto Day = MainWindowFixture::Day;

class DlgMainTest : public MainWindowFixture {
protected:
    int32_t Book(int32_t resource, int32_t startDay, int startMin, int32_t endDay, int endMin) {
        int32_t id = 0;
        return changes().AppointmentSave(id, 0, resource, 0, date.JoinDateTime(startDay, startMin),
                                         date.JoinDateTime(endDay, endMin), "");
    }
    QStringList RowTexts() {
        QStringList rows;
        for (int r = 1; r <= grid().RowCount(); ++r) {
            rows << grid().RowText(r).trimmed();
        }
        return rows;
    }
    void ShowFrom(int type, int32_t start) {
        grid().SetTimeType(type);
        window->SetScheduleDates(start);
    }
};

TEST_F(DlgMainTest, CaptionAndTheNormalWindowsMinimumSize) {
    EXPECT_EQ(window->windowTitle(), "Tidemar PE (2.00.0002)");
    window->show();
    window->resize(50, 50);
    EXPECT_EQ(window->size(),
              QSize(TwipsToPixelsX(7605, window.get()), TwipsToPixelsY(4545, window.get())));
}

TEST_F(DlgMainTest, FirstActivationSeedsOnceAndShowsToday) {
    window->Form_Activate();
    window->Form_Activate();
    EXPECT_EQ(store().Appointments().Count(), 11u);
    EXPECT_EQ(grid().DateFirst(), Day(2021, 6, 2));
    ASSERT_EQ(RowTexts(), (QStringList{"Interview #1", "Meeting #1", "Meeting #2"}));
    EXPECT_EQ((std::array{grid().BarCount(1), grid().BarCount(2), grid().BarCount(3)}),
              (std::array{5, 3, 3}));
    EXPECT_EQ(std::tuple(grid().ListTitle(), grid().BarText(2, 1), grid().BarColor(2, 1)),
              std::tuple("Rooms", "Ray Tolliver", 0x000000FFu));
}

TEST_F(DlgMainTest, RowsSortWithoutRegardToCaseAndEqualNamesKeepTheirBars) {
    int32_t a = AddResource("beta");
    AddResource("Alpha");
    int32_t b = AddResource("beta");
    AddResource("alpha2");
    AddResource("Gamma");
    Book(a, Day(2021, 6, 2), 60, Day(2021, 6, 2), 120);
    Book(b, Day(2021, 6, 3), 60, Day(2021, 6, 3), 120);
    Book(b, Day(2021, 6, 4), 60, Day(2021, 6, 4), 120);
    ShowFrom(0, Day(2021, 6, 1));
    EXPECT_EQ(RowTexts(), (QStringList{"Alpha", "alpha2", "beta", "beta", "Gamma"}));
    EXPECT_EQ(std::tuple(grid().RowData(3), grid().BarCount(3), grid().BarCount(4)),
              std::tuple(a, 1, 2));
}

// Booked from the first day to the last at 10:00 to 11:00, seen in the week of 25 to 31 May.
struct RangeCase {
    int32_t startDay, endDay;
    bool shown;
};
class VisibleRange : public DlgMainTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(VisibleRange, BarsTouchingTheRangeAreShown) {
    Book(AddResource("Room"), GetParam().startDay, 600, GetParam().endDay, 660);
    ShowFrom(0, Day(2021, 5, 25));
    EXPECT_EQ(grid().BarCount(1), GetParam().shown ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VisibleRange,
    ::testing::Values(RangeCase{Day(2021, 5, 23), Day(2021, 6, 2), true},   // spans it
                      RangeCase{Day(2021, 5, 20), Day(2021, 5, 24), false}, // ends the day before
                      RangeCase{Day(2021, 5, 24), Day(2021, 5, 25), true},  // ends on the first
                      RangeCase{Day(2021, 5, 31), Day(2021, 6, 1), true},   // starts on the last
                      RangeCase{Day(2021, 6, 1), Day(2021, 6, 1), false})); // the day after

// A week from the day given, four weeks from its Monday, or its month (Feb in a leap year).
TEST_F(DlgMainTest, SetScheduleDatesFixesTheRange) {
    const struct {
        int type;
        int32_t start, first, last;
    } views[] = {{1, Day(2021, 6, 6), Day(2021, 5, 31), Day(2021, 6, 27)},
                 {2, Day(2024, 2, 17), Day(2024, 2, 1), Day(2024, 2, 29)}};
    for (auto [type, start, first, last] : views) {
        grid().SetTimeType(type);
        window->SetScheduleDates(start);
        EXPECT_EQ(start, first) << "the caller's variable moves too";
        EXPECT_EQ((std::array{grid().DateFirst(), grid().DateLast()}), (std::array{first, last}));
        EXPECT_EQ((std::array{grid().DayStartMinute(), grid().DayEndMinute()}),
                  (std::array{0, 1440}));
    }
}

// Only a week starting today, with the option on, scrolls to now, and only when its range or
// view is set: a rebuild after a dialog leaves the view where the user had it.
TEST_F(DlgMainTest, OnlyANewWeekFromTodayWithTheOptionScrollsToNow) {
    window->resize(600, 400);
    const struct {
        bool option;
        int type;
        int32_t start;
        bool scrolls;
    } rows[] = {{true, 0, Day(2021, 6, 2), true},
                {false, 0, Day(2021, 6, 2), false},
                {true, 0, Day(2021, 6, 1), false},
                {true, 2, Day(2021, 6, 2), false}};
    QScrollBar* bar = grid().horizontalScrollBar();
    for (const auto& r : rows) {
        changes().SetOption(2, r.option);
        bar->setValue(0);
        ShowFrom(r.type, r.start);
        EXPECT_EQ(bar->value() > 0, r.scrolls) << r.type << r.start;
        bar->setValue(7);
        window->ShowResources();
        EXPECT_EQ(bar->value(), 7) << r.type << r.start;
    }
}

TEST_F(DlgMainTest, SettingsReachTheGrid) {
    changes().SetResourceType("Bays");
    for (int option : {1, 3, 4}) {
        changes().SetOption(option, false);
    }
    window->ShowResources();
    EXPECT_EQ(std::tuple(grid().ListTitle(), grid().TimeLines(), grid().Ruler24Hour()),
              std::tuple("Bays", false, false));
    EXPECT_TRUE(window->ToolButton("Exit")->toolTip().isEmpty());
    changes().SetOption(3, true);
    window->ShowResources();
    EXPECT_EQ(window->ToolButton("Exit")->toolTip(), "Exit");
}

TEST_F(DlgMainTest, AChangeToldOutsideADialogShowsAtOnce) {
    window->Form_Activate();
    ASSERT_EQ(grid().BarText(2, 1), "Ray Tolliver");
    int32_t ray = 7;
    StoreChanges& changes = window->Changes();
    changes.CustomerSave(ray, "Raymond Tolliver");
    EXPECT_EQ(grid().BarText(2, 1), "Raymond Tolliver");
    {
        QDialog up(window.get()); // a dialog's changes show when it closes
        up.show();
        changes.CustomerSave(ray, "Ray T.");
        EXPECT_EQ(grid().BarText(2, 1), "Raymond Tolliver");
    }
    changes.Batch([&] {
        changes.CustomerDelete(ray);
        changes.CustomerSave(ray, "Ray Again"); // same id, new record
    });
    EXPECT_EQ(grid().BarCount(2), 1); // the delete took Ray's bookings on Meeting #1
}

// A bar event raised while the grid is being rebuilt must not act; outside a rebuild the
// drawn bar opens the appointment dialog and is taken off again by the rebuild after it,
// which also clears the selection.
TEST_F(DlgMainTest, BarsAddedDuringARebuildAreIgnored) {
    window->resize(600, 400);
    int32_t appt = Book(AddResource("Room"), Day(2021, 6, 2), 600, Day(2021, 6, 2), 660);
    ShowFrom(0, Day(2021, 6, 2));
    grid().horizontalScrollBar()->setValue(0);
    int depthSeen = -1;
    auto probe = QObject::connect(grid().horizontalScrollBar(), &QScrollBar::valueChanged, [&] {
        if (depthSeen < 0 && grid().RowCount() == 1 && grid().BarData(1, 1) == appt) {
            depthSeen = window->FillDepth();
            window->Sched_BarLeftClick(1, 1);
            emit grid().BarAdded(1, 1, 0, 0);
        }
    });
    ShowFrom(0, Day(2021, 6, 2)); // auto-scroll moves the scroll bar mid-rebuild
    QObject::disconnect(probe);
    EXPECT_EQ(std::tuple(depthSeen, window->SelectedAppointment(), window->FillDepth()),
              std::tuple(1, appt, 0));
    EXPECT_TRUE(ui.modals.isEmpty()) << "no dialog for a bar of the rebuild";
    emit grid().BarAdded(1, 1, 0, 0);
    EXPECT_EQ(std::tuple(ui.modals.size(), window->SelectedAppointment()), std::tuple(1, 0));
}

TEST_F(DlgMainTest, HoverFillsTheStatusPanelsAndEmptySpaceClearsThem) {
    window->resize(1000, 500);
    window->show();
    window->Form_Activate();
    const auto panels = [&] {
        QStringList texts;
        for (const char* key : {"Customer", "Type", "Start", "End"}) {
            texts << window->StatusPanel(key);
        }
        return texts;
    };
    // A screen reader hears each panel's caption with its text, and the caption when empty.
    const auto heard = [&](const QString& name) {
        const QList<QLabel*> labels = window->statusBar()->findChildren<QLabel*>();
        return std::any_of(labels.begin(), labels.end(),
                           [&](const QLabel* l) { return l->accessibleName() == name; });
    };
    QTest::mouseMove(grid().viewport(), grid().PointFor(Day(2021, 6, 2), 600, 2)); // Meeting #1
    EXPECT_EQ(panels(), (QStringList{"Ray Tolliver", "Meeting", "09:00", "11:00"}));
    EXPECT_TRUE(heard("Customer: Ray Tolliver"));
    QTest::mouseMove(grid().viewport(), grid().PointFor(Day(2021, 6, 2), 750, 2)); // between
    EXPECT_EQ(panels(), (QStringList{"", "", "", ""}));
    EXPECT_TRUE(heard("Customer"));
    changes().SetOption(4, false); // the 12-hour clock, as the ruler shows it
    window->ShowResources();
    QTest::mouseMove(grid().viewport(), grid().PointFor(Day(2021, 6, 2), 690, 2));
    EXPECT_EQ(panels(), (QStringList{"Tom Ashby", "Review", "11:00am", "12:00pm"}));
}

TEST_F(DlgMainTest, DeleteResourceAsksAndOnlyYesDeletesWithItsAppointments) {
    window->Form_Activate();
    grid().SetCurrentRow(0);
    window->mnuResourceEdit_Click();
    ASSERT_EQ(ui.log, QStringList{"MessageBox No selection!"}) << "editing needs a row too";
    ui.messages.clear();
    grid().SetCurrentRow(1); // Interview #1 with five appointments
    window->Sched_BarLeftClick(2, 1);
    const int32_t selected = window->SelectedAppointment();
    ui.answers = {Answer::No};
    window->mnuResourceDelete_Click();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, "Confirm delete resource Interview #1?\r\n(all associated "
                                   "appointments will be deleted)");
    EXPECT_EQ(std::tie(ui.messages[0].title, ui.messages[0].buttons, ui.messages[0].icon),
              std::make_tuple("Confirm", IWindowing::Buttons::YesNo, IWindowing::Icon::Question));
    EXPECT_EQ(store().Resources().Count(), 3u);
    EXPECT_EQ(window->SelectedAppointment(), selected); // no rebuild
    ui.answers = {Answer::Yes};
    window->mnuResourceDelete_Click();
    EXPECT_EQ(store().Appointments().Count(), 6u);
    EXPECT_EQ(RowTexts(), (QStringList{"Meeting #1", "Meeting #2"}));
    EXPECT_EQ(window->SelectedAppointment(), 0);
}

TEST_F(DlgMainTest, AFailedSaveOffersRetryAndCancelKeepsThePreviousFiles) {
    AddResource("First");
    ASSERT_TRUE(window->Saving().Flush().Ok());
    std::string resourceFile = dir.path() + "/Data/Resource.bin";
    std::filesystem::remove(resourceFile);
    std::filesystem::create_directory(resourceFile); // now nothing can replace it
    AddResource("Second");
    ui.answers = {Answer::Retry, Answer::Cancel};
    window->close();
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[0].buttons, IWindowing::Buttons::RetryCancel);
    EXPECT_TRUE(ui.messages[0].text.contains("Resource.bin"));
    EXPECT_FALSE(ui.messages[0].text.contains("Customer.bin"));
    EXPECT_TRUE(std::filesystem::is_directory(resourceFile));
}

// A write that fails is shown in the status bar until a later one succeeds.
TEST_F(DlgMainTest, TheStatusBarSaysWhatCouldNotBeSaved) {
    window.reset();
    FaultyFileSystem files;
    window = std::make_unique<DlgMain>(ui, ProgramFolders{dir.path()}, files);
    window->Form_Activate(); // the sample data: every file has changes
    files.faults.push_back({FaultyFileSystem::Op::Write, ".tmp-", 0, ENOSPC});
    window->Saving().Flush();
    EXPECT_TRUE(window->SaveStatus().startsWith("Not saved: Customer.bin (Disk full)"))
        << window->SaveStatus().toStdString();
    files.faults.clear();
    AddResource("One more");
    EXPECT_TRUE(window->Saving().Flush().Ok());
    EXPECT_EQ(window->SaveStatus(), "");
    EXPECT_EQ(ClsGlobal(ProgramFolders{dir.path()}).Resources().Count(), 4u);
}

// Files the store could not take as they were are named once, at the first activation;
// one that could not be read is left alone and never offered for a retry at the end.
TEST_F(DlgMainTest, DataFileProblemsAreToldOnceAtStart) {
    window->Form_Activate();
    window->close();
    window.reset();
    const std::string data = dir.path() + "/Data/";
    std::filesystem::resize_file(data + "Customer.bin", 28 * 3 + 5);
    std::filesystem::remove(data + "Appointment.bin");
    std::filesystem::create_directory(data + "Appointment.bin");
    ui.messages.clear();
    window = std::make_unique<DlgMain>(ui, ProgramFolders{dir.path()});
    // The repaired file is written by the saver on its own, no change needed.
    ASSERT_TRUE(window->Saving().NextSaveIn().has_value());
    EXPECT_LE(*window->Saving().NextSaveIn(), std::chrono::seconds(2)); // a coarse timer
    window->Form_Activate();
    window->Form_Activate();
    ASSERT_EQ(ui.messages.size(), 1);
    const QString text = ui.messages[0].text;
    EXPECT_EQ(ui.messages[0].title, "Tidemar PE");
    EXPECT_TRUE(text.contains("Customer.bin ended in 5 stray bytes after the last whole record"));
    EXPECT_TRUE(text.contains(QString::fromStdString(data + "Customer.bin.bak")));
    EXPECT_TRUE(text.contains("Appointment.bin could not be read (A folder, not a file). It is "
                              "left as it is, and changes to appointments made now will not be "
                              "saved."));
    EXPECT_TRUE(text.contains(QString::fromStdString(dir.path() + "/Tidemar.err")));
    AddResource("Another");
    window->close();
    EXPECT_EQ(ui.messages.size(), 1) << "no Retry offered for a file never read";
    EXPECT_TRUE(std::filesystem::is_directory(data + "Appointment.bin"));
}

// A data folder that cannot be reached (a link to a drive not mounted yet) is told at start,
// shows no sample data and is never written, not even when it comes back before the end.
TEST_F(DlgMainTest, AnUnreachableDataFolderIsToldAndNeverWritten) {
    window.reset();
    const std::string data = dir.path() + "/Data";
    const std::string drive = dir.path() + "/drive";
    std::filesystem::remove_all(data);
    std::filesystem::create_symlink(drive, data);
    window = std::make_unique<DlgMain>(ui, ProgramFolders{dir.path()});
    window->Form_Activate();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].text.contains(
        QString::fromStdString("The folder itself is a link to " + drive +
                               ", which cannot be reached (File not found). Nothing in it is "
                               "changed, and nothing you change now will be saved.")))
        << ui.messages[0].text.toStdString();
    EXPECT_EQ(store().Resources().Count(), 0u);
    std::filesystem::create_directory(drive);
    AddResource("Typed while it was away");
    EXPECT_FALSE(window->Saving().NextSaveIn().has_value());
    window->close();
    EXPECT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(std::filesystem::is_empty(drive));
}

// Termination signals reach the event loop; SIGTERM closes the window and the
// application's quitting unloads it, each saving at once (the one-second saver never runs).
TEST_F(DlgMainTest, TerminationAndQuittingSave) {
    {
        SignalWatcher watcher;
        QSignalSpy spy(&watcher, &SignalWatcher::Signalled);
        for (int s : {SIGTERM, SIGHUP, SIGINT}) {
            std::raise(s);
            ASSERT_TRUE(spy.wait(2000)) << s;
            EXPECT_EQ(spy.takeFirst()[0].toInt(), s);
        }
    }
    for (bool quit : {false, true}) {
        SCOPED_TRACE(quit ? "quit" : "SIGTERM");
        window = std::make_unique<DlgMain>(ui, ProgramFolders{dir.path()});
        window->show();
        CloseWithSessionEnd(*window);
        AddResource("Saved");
        if (quit) {
            ASSERT_TRUE(QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection));
        } else {
            std::raise(SIGTERM);
            for (int i = 0; i < 50 && window->isVisible(); ++i) {
                QTest::qWait(10);
            }
            EXPECT_FALSE(window->isVisible());
        }
        EXPECT_EQ(ClsGlobal(ProgramFolders{dir.path()}).Resources().Count(),
                  store().Resources().Count());
    }
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST(InstanceLockTest, OneProgramPerDataFolder) {
    TempDir dir;
    std::string data = dir.path() + "/Data";
    {
        InstanceLock first(data);
        ASSERT_TRUE(first.Acquired());
        EXPECT_FALSE(InstanceLock(data).Acquired());
        EXPECT_TRUE(std::filesystem::is_empty(data)) << "the second copy touched nothing";
    }
    EXPECT_TRUE(InstanceLock(data).Acquired());
}

} // namespace
