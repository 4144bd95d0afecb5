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

// What a settings file holds and what the next window shows of it. A place on no screen (a
// monitor since unplugged) is not used, the size still is; values out of range are not taken.
struct StateCase {
    const char* name;
    QRect place; // relative to the screen's corner
    bool maximized;
    int viewType, resolution;
    bool placed; // the window is where it was, not where it opened
    int shownType, shownResolution;
};
const StateCase kStates[] = {
    {"AsLeft", {40, 30, 900, 600}, false, 2, 90, true, 2, 90},
    {"OffEveryScreen", {-5000, -4000, 880, 640}, true, 7, 100000, false, 0, -1},
};

class WindowStateTest : public ::testing::TestWithParam<StateCase> {};

TEST_P(WindowStateTest, TheNextWindowComesBackAsTheSettingsSay) {
    const StateCase& c = GetParam();
    TempDir dir;
    QTemporaryDir settingsDir;
    ModError::SetLogFile(ProgramFolders{dir.path()}.LogFile());
    ScriptedWindowing ui;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect place = c.place.translated(screen.topLeft());
    QSettings settings(settingsDir.filePath("tidemar.conf"), QSettings::IniFormat);
    settings.setValue("MainWindow/geometry", place);
    settings.setValue("MainWindow/maximized", c.maximized);
    settings.setValue("Schedule/viewType", c.viewType);
    settings.setValue("Schedule/resolution", c.resolution);
    if (c.placed) { // written by the program itself from a window left so
        settings.clear();
        DlgMain left(ui, ProgramFolders{dir.path()});
        left.setGeometry(place);
        left.Sched()->SetTimeType(c.viewType);
        left.Sched()->SetResolution(static_cast<int16_t>(c.resolution));
        WindowState::Save(left, settings);
    }
    DlgMain window(ui, ProgramFolders{dir.path()});
    const QPoint opened = window.pos();
    WindowState::Restore(window, settings);
    EXPECT_EQ(window.pos(), c.placed ? place.topLeft() : opened);
    EXPECT_EQ(window.size(), place.size());
    EXPECT_EQ(bool(window.windowState() & Qt::WindowMaximized), c.maximized);
    EXPECT_EQ(window.Sched()->Resolution(),
              c.shownResolution < 0 ? ScheduleGrid::ResolutionMaximum() : c.shownResolution);
    window.Form_Activate();
    EXPECT_EQ(window.Sched()->TimeType(), c.shownType) << "the first view is the remembered one";
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/Data/tidemar.conf"));
}

INSTANTIATE_TEST_SUITE_P(Table, WindowStateTest, ::testing::ValuesIn(kStates),
                         [](const auto& row) { return std::string(row.param.name); });

} // namespace
