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
#include "support/AddsRecords.h"
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
class ServicesFixture : public ::testing::Test, public AddsRecords<ServicesFixture> {
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
