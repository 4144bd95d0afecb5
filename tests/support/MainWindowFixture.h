#pragma once

#include <QAction>
#include <QApplication>
#include <QMenuBar>

#include <gtest/gtest.h>
#include <memory>

#include "base/Clock.h"
#include "base/ModError.h"
#include "datetime/ClsDate.h"
#include "grid/ScheduleGrid.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "store/ProgramFolders.h"
#include "support/AddsRecords.h"
#include "support/ScriptedWindowing.h"
#include "support/TempDir.h"
#include "widgets/KeyedToolBar.h"

// A main window on an empty store of its own, never shown (so no sample data), with the clock
// at Wednesday 2 June 2021 10:00 and the error log in the temporary folder. Dialogs under test
// are made on it and read its store and grid.
class MainWindowFixture : public ::testing::Test, public AddsRecords<MainWindowFixture> {
public:
    void SetUp() override {
        Clock::SetFixed(Clock::LocalTime{2021, 6, 2, 10, 0, 0});
        ModError::SetLogFile(ProgramFolders{dir.path()}.LogFile());
        window = std::make_unique<DlgMain>(ui, ProgramFolders{dir.path()});
        window->resize(900, 600);
    }
    void TearDown() override {
        window.reset();
        Clock::SetFixed(std::nullopt);
    }

    const ClsGlobal& store() { return window->Global(); }
    StoreChanges& changes() { return window->Changes(); }
    ScheduleGrid& grid() { return *window->Sched(); }

    // Before SetUp: a data folder used before, so the first showing adds no sample data.
    void UsedBefore() {
        ClsGlobal seen(ProgramFolders{dir.path()});
        seen.SetResourceType("Rooms");
        ASSERT_TRUE(seen.Save().Ok());
    }
    // Where the booking's bar is; row 0 when it has none.
    ScheduleGrid::Hit BarOf(int32_t id) {
        for (int row = 1; row <= grid().RowCount(); ++row) {
            for (int bar = 1; bar <= grid().BarCount(row); ++bar) {
                if (grid().BarData(row, bar) == id) {
                    return {row, bar};
                }
            }
        }
        return {};
    }

    TempDir dir;
    ScriptedWindowing ui;
    ClsDate date;
    std::unique_ptr<DlgMain> window;
};
