#pragma once

#include <QWidget>

#include <gtest/gtest.h>
#include <memory>

#include "base/Clock.h"
#include "base/ModError.h"
#include "datetime/ClsDate.h"
#include "grid/ScheduleGrid.h"
#include "schedule/ScheduleGridView.h"
#include "store/ClsGlobal.h"
#include "store/ProgramFolders.h"
#include "store/StoreChanges.h"
#include "support/ScriptedWindowing.h"
#include "support/TempDir.h"
#include "ui/ClsHelp.h"
#include "ui/ScheduleRows.h"
#include "ui/Services.h"

// What a dialog or the preview is handed, without a main window: a store of its own on the
// temporary folder, the scripted windowing, the clock at Wednesday 2 June 2021 10:00 and the
// error log in the folder. The schedule is a grid nobody sees, showing the store's resources
// as the main window would; `window` stands in for the main window as the dialogs' parent and
// their help's owner.
class ServicesFixture : public ::testing::Test {
public:
    void SetUp() override {
        Clock::SetFixed(Clock::LocalTime{2021, 6, 2, 10, 0, 0});
        ModError::SetLogFile(folders.LogFile());
        global_ = std::make_unique<ClsGlobal>(folders);
        changes_ = std::make_unique<StoreChanges>(*global_);
        help_ = std::make_unique<ClsHelp>(ui);
        window = std::make_unique<QWidget>();
        window->resize(900, 600);
        services_ = std::make_unique<Services>(Services{
            *global_, *changes_, ui, *help_, QStringLiteral("help"), date, folders, window.get()});
        grid_ = std::make_unique<ScheduleGrid>();
        view_ = std::make_unique<ScheduleGridView>(*grid_);
        ShowResources();
    }
    void TearDown() override {
        view_.reset();
        grid_.reset();
        services_.reset();
        window.reset();
        help_.reset();
        changes_.reset();
        global_.reset();
        Clock::SetFixed(std::nullopt);
    }

    ClsGlobal& store() { return *global_; }
    StoreChanges& changes() { return *changes_; }
    ScheduleGrid& grid() { return *grid_; }
    const Services& services() const { return *services_; }
    ScheduleView& schedule() { return *view_; }
    // The schedule shows the store's resources as they are now.
    void ShowResources() { ScheduleRows::FromStore(*global_).ShowIn(*grid_); }

    int32_t AddResource(const char* name) {
        int32_t id = 0;
        return store().ResourceSave(id, name);
    }
    int32_t AddCustomer(const char* name) {
        int32_t id = 0;
        return store().CustomerSave(id, name);
    }
    int32_t AddType(const char* name) {
        int32_t id = 0;
        return store().TypeSave(id, name, 255, 0, 15, 480, 15);
    }
    // Start and end on one day, in minutes.
    int32_t AddAppointment(int32_t resource, int32_t customer, int32_t type, int32_t day,
                           int startMinute, int endMinute) {
        int32_t id = 0;
        return store().AppointmentSave(id, customer, resource, type,
                                       date.JoinDateTime(day, startMinute),
                                       date.JoinDateTime(day, endMinute), "");
    }
    static int32_t Day(int y, int m, int d) { return ClsDate::DayNumberFromCivil(y, m, d); }

    TempDir dir;
    ProgramFolders folders{dir.path()};
    ScriptedWindowing ui;
    ClsDate date;
    std::unique_ptr<QWidget> window;

private:
    std::unique_ptr<ClsGlobal> global_;
    std::unique_ptr<StoreChanges> changes_;
    std::unique_ptr<ClsHelp> help_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<ScheduleGrid> grid_;
    std::unique_ptr<ScheduleGridView> view_;
};
