#pragma once

#include <QAction>
#include <QLabel>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "controls/ReportDocument.h"
#include "controls/ReportView.h"
#include "controls/ScheduleGrid.h"
#include "datetime/Clock.h"
#include "datetime/ClsDate.h"
#include "report/ClsGanttReport.h"
#include "report/DlgPreview.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "store/ModError.h"
#include "support/ScriptedWindowing.h"
#include "support/TempDir.h"

inline int32_t Day(int y, int m, int d) {
    return ClsDate::DayNumberFromCivil(y, m, d);
}

inline ClsGanttReport::State& State(DlgPreview& p) {
    return p.Report().state;
}

inline QString Label(DlgPreview& p) {
    return p.LblPage()->text();
}

// The main window on Wednesday 2 June 2021, 10:00, with the sample data and as many more
// resources as asked for; the preview is opened through Print and looked at while shown.
class PreviewFixture : public ::testing::Test {
public:
    void SetUp() override {
        Clock::SetFixed(Clock::LocalTime{2021, 6, 2, 10, 0, 0});
        ModError::SetLogFile(ProgramFolders{dir.path()}.LogFile());
        window = std::make_unique<DlgMain>(ui, ProgramFolders{dir.path()});
        window->resize(900, 600);
        window->show();
        window->Form_Activate();
        ui.log.clear();
    }
    void TearDown() override {
        window.reset();
        Clock::SetFixed(std::nullopt);
    }

    void AddResources(int count) {
        for (int i = 0; i < count; ++i) {
            int32_t id = 0;
            store().ResourceSave(
                id, QStringLiteral("Extra %1").arg(i, 3, 10, QLatin1Char('0')).toStdString());
        }
        window->ShowResources();
    }

    void Open(const std::function<void(DlgPreview&)>& inside) {
        ui.modalActions.push_back([&](QDialog* dialog) {
            auto* preview = qobject_cast<DlgPreview*>(dialog);
            preview->SetPrinterFinder([this] { return printer; });
            inside(*preview);
            return 0;
        });
        window->Action(DlgMain::Command::FilePrint)->trigger();
        ui.log.removeAll("ShowModal DlgPreview");
    }

    ClsGlobal& store() { return window->Global(); }

    TempDir dir;
    ScriptedWindowing ui;
    std::unique_ptr<DlgMain> window;
    QString printer; // the default printer's name; none
};
