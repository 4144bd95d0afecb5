#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "base/ModError.h"
#include "grid/ScheduleGrid.h"
#include "schedule/DlgMain.h"
#include "schedule/WindowState.h"
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
    // Maximised, the window keeps the place it goes back to.
    {"MaximisedAsLeft", {40, 30, 600, 400}, true, 1, 50, true, 1, 50},
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
        if (c.maximized) {
            left.show();
            left.setWindowState(Qt::WindowMaximized);
            QApplication::processEvents();
            ASSERT_NE(left.geometry(), place) << "maximised over the screen";
        }
        left.Sched()->SetTimeType(c.viewType);
        left.Sched()->SetResolution(static_cast<int16_t>(c.resolution));
        left.SetPreviewPlace({place.translated(10, 20), true});
        WindowState::Save(left, settings);
    }
    DlgMain window(ui, ProgramFolders{dir.path()});
    const QPoint opened = window.pos();
    WindowState::Restore(window, settings);
    // The test platform gives a maximised window's normal place with its 2-pixel frame.
    const QPoint shift = window.pos() - (c.placed ? place.topLeft() : opened);
    EXPECT_LE(shift.manhattanLength(), c.placed && c.maximized ? 4 : 0);
    EXPECT_EQ(window.size(), place.size());
    EXPECT_EQ(bool(window.windowState() & Qt::WindowMaximized), c.maximized);
    EXPECT_EQ(window.PreviewPlace().normal, c.placed ? place.translated(10, 20) : QRect());
    EXPECT_EQ(window.PreviewPlace().maximized, c.placed);
    EXPECT_EQ(window.Sched()->Resolution(),
              c.shownResolution < 0 ? ScheduleGrid::ResolutionMaximum() : c.shownResolution);
    window.Form_Activate();
    EXPECT_EQ(window.Sched()->TimeType(), c.shownType) << "the first view is the remembered one";
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/Data/tidemar.conf"));
}

INSTANTIATE_TEST_SUITE_P(Table, WindowStateTest, ::testing::ValuesIn(kStates),
                         [](const auto& row) { return std::string(row.param.name); });

// A first start: three quarters of the available area, at least the minimum, centred on the
// point given (the screen's middle, or the main window's for the preview) and kept on the area.
TEST(WindowStateFirstPlace, ThreeQuartersOfTheScreenCentredAndOnIt) {
    const QSize minimum(507, 338);
    const struct {
        QRect available;
        QPoint centre;
        QRect place;
    } rows[] = {
        {{0, 0, 1600, 1000}, {800, 500}, {200, 125, 1200, 750}},
        {{0, 0, 600, 400}, {300, 200}, {47, 31, 507, 338}},           // the minimum
        {{0, 0, 1600, 1000}, {1500, 900}, {400, 250, 1200, 750}},     // near the edge
        {{1600, 0, 1920, 1080}, {2560, 540}, {1840, 135, 1440, 810}}, // a second screen
    };
    for (const auto& r : rows) {
        EXPECT_EQ(WindowState::FirstGeometry(r.available, minimum, r.centre), r.place);
    }
    TempDir dir;
    QTemporaryDir settingsDir;
    ScriptedWindowing ui;
    QSettings none(settingsDir.filePath("empty.conf"), QSettings::IniFormat);
    DlgMain window(ui, ProgramFolders{dir.path()});
    WindowState::Restore(window, none);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window.geometry(),
              WindowState::FirstGeometry(screen, window.minimumSize(), screen.center()));
    EXPECT_FALSE(window.PreviewPlace().normal.isValid());
}

} // namespace
