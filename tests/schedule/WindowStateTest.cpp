#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "controls/ScheduleGrid.h"
#include "schedule/DlgMain.h"
#include "schedule/WindowState.h"
#include "store/ModError.h"
#include "support/ScriptedWindowing.h"
#include "support/TempDir.h"

namespace {

class WindowStateTest : public ::testing::Test {
protected:
    void SetUp() override { ModError::SetLogFile(ProgramFolders{dir.path()}.LogFile()); }
    std::unique_ptr<DlgMain> Open() {
        return std::make_unique<DlgMain>(ui, ProgramFolders{dir.path()});
    }
    TempDir dir;
    QTemporaryDir settingsDir;
    ScriptedWindowing ui;
};

// Place, size, maximised state, view type and resolution come back in the next run; they
// go to the settings file given, never into the data folder.
TEST_F(WindowStateTest, TheWindowComesBackAsItWasLeft) {
    const QString file = settingsDir.filePath("tidemar.conf");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect place(screen.left() + 40, screen.top() + 30, 900, 600);
    {
        auto window = Open();
        window->setGeometry(place);
        window->Sched()->SetTimeType(2);
        window->Sched()->SetResolution(90);
        QSettings settings(file, QSettings::IniFormat);
        WindowState::Save(*window, settings);
    }
    auto window = Open();
    QSettings settings(file, QSettings::IniFormat);
    WindowState::Restore(*window, settings);
    EXPECT_EQ(window->geometry(), place);
    EXPECT_EQ(window->Sched()->TimeType(), 2);
    EXPECT_EQ(window->Sched()->Resolution(), 90);
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
    window->Form_Activate();
    EXPECT_EQ(window->Sched()->TimeType(), 2) << "the first view is the remembered one";
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/Data/tidemar.conf"));
}

// A place on no screen (a monitor since unplugged) is not used; the size still is. Values
// out of range are not taken either.
TEST_F(WindowStateTest, APlaceOffEveryScreenIsIgnored) {
    const QString file = settingsDir.filePath("tidemar.conf");
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue("MainWindow/geometry", QRect(-5000, -4000, 880, 640));
        settings.setValue("MainWindow/maximized", true);
        settings.setValue("Schedule/viewType", 7);
        settings.setValue("Schedule/resolution", 100000);
    }
    auto window = Open();
    const QPoint centred = window->pos();
    QSettings settings(file, QSettings::IniFormat);
    WindowState::Restore(*window, settings);
    EXPECT_EQ(window->pos(), centred);
    EXPECT_EQ(window->size(), QSize(880, 640));
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window->Sched()->TimeType(), 0);
    EXPECT_EQ(window->Sched()->Resolution(), ScheduleGrid::ResolutionMaximum());
}

} // namespace
