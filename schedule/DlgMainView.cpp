// The schedule view of the main window: the store laid out as rows and bars, and the
// grid's events.
#include <QAction>
#include <QLabel>
#include <QSlider>

#include <utility>

#include "base/Hooks.h"
#include "datetime/ClsDate.h"
#include "dialogs/DlgAppointment.h"
#include "grid/ScheduleGrid.h"
#include "platform/IWindowing.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "ui/RebuildCache.h"
#include "ui/ScheduleRows.h"
#include "ui/SeriesPlace.h"
#include "ui/Trap.h"
#include "widgets/KeyedToolBar.h"

namespace {
using Command = DlgMain::Command;
constexpr const char* kForm = "DlgMain";
} // namespace

void DlgMain::SetScheduleDates(int32_t& start) {
    Trap(kForm, "SetScheduleDates", [&] {
        int32_t last = start;
        switch (sched_->TimeType()) {
        case 0:
            last = start + 6;
            break;
        case 1:
            while (ClsDate::Weekday(start) != 1) {
                Hooks::DoEvents();
                --start;
            }
            last = start + 27;
            break;
        case 2:
            start = date_->FirstDayOfMonth(start);
            last = date_->LastDayOfMonth(start);
            break;
        default:
            break;
        }
        sched_->SetDateFirst(start);
        sched_->SetDayStartMinute(0);
        sched_->SetDateLast(last);
        sched_->SetDayEndMinute(1440);
        scrollToNow_ = true;
        ShowResources();
    });
}

void DlgMain::ShowResources() {
    ++fillDepth_;
    selectedAppointment_ = 0;
    // Only a new range or view goes to now; a rebuild after an edit leaves the view be.
    const bool toNow = std::exchange(scrollToNow_, false);
    Trap(kForm, "ShowResources", [&] {
        ScheduleRows::FromStore(*global_).ShowIn(*sched_);
        sched_->SetTimeLines(global_->Option(1));
        rebuild_->Begin(*global_);
        for (int row = 1; row <= sched_->RowCount(); ++row) {
            ShowAppointments(row);
        }

        const int32_t today = date_->Today();
        if (toNow && global_->Option(2) && sched_->TimeType() == 0 &&
            sched_->DateFirst() == today) {
            sched_->ScrollToTime(today, date_->MinutesNow());
        }
        sched_->SetRuler24Hour(global_->Option(4));
        toolBar_->ShowToolTips(global_->Option(3));
    });
    --fillDepth_;
}

void DlgMain::ShowAppointments(int row) {
    Trap(kForm, "ShowAppointments", [&] {
        int32_t first = sched_->DateFirst();
        int32_t last = sched_->DateLast();
        // Most stores hold no series: then no bar needs asking.
        const bool anySeries = !global_->Series().Empty();
        // The store's index of the row's resource holds the times beside each record, in
        // collection order, so only the visible appointments are read.
        for (const ResourceSlot& slot : global_->AppointmentsOfResource(sched_->RowData(row))) {
            int32_t sd = date_->SplitDateVal(slot.startDtTm);
            int32_t ed = date_->SplitDateVal(slot.endDtTm);
            bool visible = (first <= sd && sd <= last) || (first <= ed && ed <= last) ||
                           (sd < first && ed > last);
            if (!visible) {
                continue;
            }
            const ClsAppointment* a = global_->Appointments().Get(slot.id);
            if (a == nullptr) {
                continue;
            }
            auto [back, fore] = rebuild_->TypeColors(*global_, a->TypeId());
            int bar = sched_->AddBar(row, date_->SplitTimeVal(slot.startDtTm),
                                     date_->SplitTimeVal(slot.endDtTm), sd, ed);
            sched_->SetBarText(row, bar, rebuild_->CustomerName(*global_, a->CustomerId()));
            sched_->SetBarData(row, bar, slot.id);
            sched_->SetBarColor(row, bar, back);
            sched_->SetBarTextColor(row, bar, fore);
            if (anySeries && SeriesPlace::Marked(*global_, slot.id)) {
                sched_->SetBarSeries(row, bar, true);
            }
        }
    });
}

void DlgMain::ShowFoundAppointment(int32_t id) {
    if (id == 0) {
        return;
    }
    auto a = global_->AppointmentLoad(id);
    // A missing appointment would take the view to the default record's date.
    if (a->Id() == 0) {
        return;
    }
    int32_t day = date_->SplitDateVal(a->StartDtTm());
    SetScheduleDates(day);
    // The grid keeps its selected row through a rebuild; a resource without a row must not
    // leave another resource looking like the found one's.
    int found = 0;
    for (int row = 1; row <= sched_->RowCount(); ++row) {
        if (sched_->RowData(row) == a->ResourceId()) {
            found = row;
            break;
        }
    }
    sched_->SetCurrentRow(found);
    // Selected, so that Edit appointment works on it.
    for (int bar = 1; found > 0 && bar <= sched_->BarCount(found); ++bar) {
        if (sched_->BarData(found, bar) == id) {
            sched_->SetSelectedBar(found, bar);
            selectedAppointment_ = id;
            break;
        }
    }
    sched_->ScrollToTime(date_->SplitDateVal(a->StartDtTm()), date_->SplitTimeVal(a->StartDtTm()));
}

// A drawn bar books nothing by itself: the appointment dialog opens preset with its row and
// times, and the rebuild afterwards replaces it with what was stored, if anything.
void DlgMain::Sched_BarAdded(int row, int bar, int /*value1*/, int /*value2*/) {
    if (fillDepth_ >= 1) {
        return;
    }
    Trap(kForm, "Sched_BarAdded", [&] {
        DlgAppointment& dialog = AppointmentDialog();
        dialog.SetAppointmentId(0);
        dialog.SetResourceId(sched_->RowData(row));
        dialog.SetStartDateTime(
            date_->JoinDateTime(sched_->BarStartDate(row, bar), sched_->BarStartMinute(row, bar)));
        dialog.SetEndDateTime(
            date_->JoinDateTime(sched_->BarEndDate(row, bar), sched_->BarEndMinute(row, bar)));
        ShowModal(&dialog);
        ShowResources();
    });
}

void DlgMain::Sched_BarLeftClick(int row, int bar) {
    Trap(kForm, "Sched_BarLeftClick", [&] {
        sched_->BarEventBegin();
        selectedAppointment_ = sched_->BarData(row, bar);
    });
}

void DlgMain::Sched_BarDblClick(int row, int bar) {
    Trap(kForm, "Sched_BarDblClick", [&] {
        sched_->BarEventBegin();
        selectedAppointment_ = sched_->BarData(row, bar);
        if (Action(Command::ApptEdit)->isEnabled()) {
            mnuApptEdit_Click();
        }
    });
}

// The right-clicked bar is selected first, so Edit appointment edits the bar under the pointer.
void DlgMain::Sched_BarRightClick(int row, int bar) {
    Trap(kForm, "Sched_BarRightClick", [&] {
        sched_->BarEventBegin();
        selectedAppointment_ = sched_->BarData(row, bar);
        sched_->SetSelectedBar(row, bar);
        commands_.PopupSection(Command::ApptAdd);
    });
}

void DlgMain::Sched_ItemMove(int row, int bar) {
    Trap(kForm, "Sched_ItemMove", [&] {
        if (bar == 0) {
            for (size_t i = 0; i < statusPanels_.size(); ++i) {
                SetStatusPanel(i, QString());
            }
            return;
        }
        auto a = global_->AppointmentLoad(sched_->BarData(row, bar));
        if (a->Id() == 0) {
            return;
        }
        auto customer = global_->CustomerLoad(a->CustomerId());
        auto type = global_->TypeLoad(a->TypeId());
        // Customer, Type, Start, End, the times on the clock the settings choose.
        const bool hours24 = global_->Option(4);
        const std::string texts[] = {
            customer->Name(), type->Name(),
            ClsDate::TimeText(date_->SplitTimeVal(a->StartDtTm()), hours24),
            ClsDate::TimeText(date_->SplitTimeVal(a->EndDtTm()), hours24)};
        for (size_t i = 0; i < statusPanels_.size(); ++i) {
            SetStatusPanel(i, QString::fromStdString(texts[i]));
        }
    });
}

void DlgMain::Sched_BarPreSelect(int /*value*/, int flag) {
    Trap(kForm, "Sched_BarPreSelect", [&] {
        sched_->BarEventBegin();
        if (flag != 0) {
            sched_->BarPreSelectAction();
        }
    });
}

void DlgMain::Sched_BarPreDrop(int, int, int, int, int, int, int, int flag) {
    Trap(kForm, "Sched_BarPreDrop", [&] {
        sched_->BarEventBegin();
        if (flag == 0) {
            sched_->BarPreDropAction();
        }
    });
}

void DlgMain::Sched_BarChanged(int, int, int, int, int, int, int) {
    Trap(kForm, "Sched_BarChanged", [&] {
        sched_->BarEventBegin();
        sched_->BarChangeAction();
    });
}

void DlgMain::Sched_ScrollTrack(int, int, int) {}

void DlgMain::Sched_GotFocus() {
    HideZoom();
}
