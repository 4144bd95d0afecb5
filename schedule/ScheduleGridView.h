#pragma once

#include "ui/ScheduleView.h"

class ScheduleGrid;

// The main window's grid as the dialogs see it.
class ScheduleGridView : public ScheduleView {
public:
    explicit ScheduleGridView(ScheduleGrid& grid) : grid_(grid) {}

    int RowCount() const override;
    QString RowText(int row) const override;
    int32_t RowData(int row) const override;
    int CurrentRow() const override;
    int32_t DateFirst() const override;
    void ShowColor(int index, uint32_t colorRef) override;

private:
    ScheduleGrid& grid_;
};
