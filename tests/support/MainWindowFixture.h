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
#include "support/ScriptedWindowing.h"
#include "support/TempDir.h"
#include "widgets/KeyedToolBar.h"

// A main window on an empty store of its own, never shown (so no sample data), with the clock
// at Wednesday 2 June 2021 10:00 and the error log in the temporary folder. Dialogs under test
// are made on it and read its store and grid.
class MainWindowFixture : public ::testing::Test {
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

    int32_t AddResource(const char* name) {
        int32_t id = 0;
        return changes().ResourceSave(id, name);
    }
    int32_t AddCustomer(const char* name) {
        int32_t id = 0;
        return changes().CustomerSave(id, name);
    }
    int32_t AddType(const char* name) {
        int32_t id = 0;
        return changes().TypeSave(id, name, 255, 0, 15, 480, 15);
    }
    // Start and end on one day, in minutes.
    int32_t AddAppointment(int32_t resource, int32_t customer, int32_t type, int32_t day,
                           int startMinute, int endMinute) {
        int32_t id = 0;
        return changes().AppointmentSave(id, customer, resource, type,
                                       date.JoinDateTime(day, startMinute),
                                       date.JoinDateTime(day, endMinute), "");
    }
    static int32_t Day(int y, int m, int d) { return ClsDate::DayNumberFromCivil(y, m, d); }

    TempDir dir;
    ScriptedWindowing ui;
    ClsDate date;
    std::unique_ptr<DlgMain> window;
};
