#pragma once

#include <QAction>
#include <QLabel>

#include <functional>
#include <gtest/gtest.h>

#include "datetime/ClsDate.h"
#include "grid/ScheduleGrid.h"
#include "report/ClsGanttReport.h"
#include "report/DlgPreview.h"
#include "report/ReportDocument.h"
#include "report/ReportView.h"
#include "store/ClsGlobal.h"
#include "support/MainWindowFixture.h"

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
class PreviewFixture : public MainWindowFixture {
public:
    void SetUp() override {
        MainWindowFixture::SetUp();
        window->show();
        window->Form_Activate();
        ui.log.clear();
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

    QString printer; // the default printer's name; none
};
