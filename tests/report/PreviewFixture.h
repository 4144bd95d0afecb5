#pragma once

#include <QAction>
#include <QLabel>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "datetime/ClsDate.h"
#include "grid/ScheduleGrid.h"
#include "report/ClsGanttReport.h"
#include "report/DlgPreview.h"
#include "report/ReportDocument.h"
#include "report/ReportView.h"
#include "store/ClsGlobal.h"
#include "store/SampleData.h"
#include "store/StoreChanges.h"
#include "support/ServicesFixture.h"
#include "ui/ScheduleRows.h"

inline int32_t Day(int y, int m, int d) {
    return ClsDate::DayNumberFromCivil(y, m, d);
}

inline ClsGanttReport::State& State(DlgPreview& p) {
    return p.Report().state;
}

inline QString Label(DlgPreview& p) {
    return p.LblPage()->text();
}

// The services on Wednesday 2 June 2021, 10:00, with the sample data and as many more
// resources as asked for, the schedule showing the week from today; one preview, made as the
// main window makes it, opened as often as asked and looked at while shown.
class PreviewFixture : public ServicesFixture {
public:
    void SetUp() override {
        ServicesFixture::SetUp();
        CreateSampleData(changes(), date);
        ShowResources();
        grid().SetDateFirst(Day(2021, 6, 2));
        grid().SetDayStartMinute(0);
        grid().SetDateLast(Day(2021, 6, 8));
        grid().SetDayEndMinute(1440);
        ui.log.clear();
    }
    void TearDown() override {
        preview_.reset();
        ServicesFixture::TearDown();
    }

    void AddResources(int count) {
        for (int i = 0; i < count; ++i) {
            int32_t id = 0;
            store().ResourceSave(
                id, QStringLiteral("Extra %1").arg(i, 3, 10, QLatin1Char('0')).toStdString());
        }
        ShowResources();
    }

    void Open(const std::function<void(DlgPreview&)>& inside) {
        if (preview_ == nullptr) {
            preview_ = std::make_unique<DlgPreview>(
                services(), schedule(), [this] { return ScheduleRows::FromGrid(grid()); }, place);
            preview_->SetPrinterFinder([this] { return printer; });
        }
        ui.modalActions.push_back([&](QDialog*) {
            inside(*preview_);
            return 0;
        });
        ui.ShowModal(preview_.get());
        ui.log.removeAll("ShowModal DlgPreview");
    }

    QString printer;          // the default printer's name; none
    WindowState::Place place; // where the preview is kept between openings

private:
    std::unique_ptr<DlgPreview> preview_;
};
