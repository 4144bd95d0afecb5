// The schedule view of the main window: the store laid out as rows and bars, and the
// grid's events.
#include <QAction>
#include <QLabel>
#include <QSlider>

#include <algorithm>
#include <span>
#include <unordered_map>
#include <vector>

#include "controls/ScheduleGrid.h"
#include "datetime/ClsDate.h"
#include "schedule/DlgMain.h"
#include "schedule/RebuildCache.h"
#include "schedule/Trap.h"
#include "store/ClsGlobal.h"
#include "store/Hooks.h"

namespace {
constexpr const char* kForm = "DlgMain";
}

void DlgMain::SetScheduleDates(int32_t& start) {
    Trap(kForm, "SetScheduleDates", [&] {
        int32_t last = start;
        switch (Sched->TimeType()) {
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
        Sched->SetDateFirst(start);
        Sched->SetDayStartMinute(0);
        Sched->SetDateLast(last);
        Sched->SetDayEndMinute(1440);
        ShowResources();
    });
}

void DlgMain::ShowResources() {
    ++fillDepth_;
    selectedAppointment_ = 0;
    Trap(kForm, "ShowResources", [&] {
        Sched->ClearAll();
        Sched->SetListTitle(QString::fromStdString(global_->ResourceType()));
        Sched->SetBackColor(static_cast<uint32_t>(global_->Color(0)));
        Sched->SetTitleBackColor(static_cast<uint32_t>(global_->Color(1)));
        Sched->SetRulerColor(static_cast<uint32_t>(global_->Color(2)));
        Sched->SetListBackColor(static_cast<uint32_t>(global_->Color(3)));
        Sched->SetWeekendColor(static_cast<uint32_t>(global_->Color(4)));
        Sched->SetTimeLines(global_->Option(1));

        struct Entry {
            QString name;
            int32_t id;
        };
        std::vector<Entry> sorted;
        sorted.reserve(global_->Resources().Count());
        for (const auto& r : global_->Resources()) {
            sorted.push_back({QString::fromStdString(r->Name()), r->Id()});
        }
        // Like a sorted list box: without regard to case; equal names keep store order.
        std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) {
            return QString::compare(a.name, b.name, Qt::CaseInsensitive) < 0;
        });
        rebuild_->Begin(*global_);
        for (const Entry& e : sorted) {
            int row = Sched->AddRow(e.name);
            Sched->SetRowData(row, e.id);
            ShowAppointments(row);
        }

        int32_t today = date_->Today();
        if (global_->Option(2) && Sched->TimeType() == 0 && Sched->DateFirst() == today) {
            Sched->ScrollToTime(today, date_->MinutesNow());
        }
        Sched->SetRuler24Hour(global_->Option(4));
        ApplyToolTips(global_->Option(3));
    });
    --fillDepth_;
}

void DlgMain::ShowAppointments(int row) {
    Trap(kForm, "ShowAppointments", [&] {
        int32_t first = Sched->DateFirst();
        int32_t last = Sched->DateLast();
        // The store's index of the row's resource holds the times beside each record, in
        // collection order, so only the visible appointments are read.
        for (const ResourceSlot& slot : global_->AppointmentsOfResource(Sched->RowData(row))) {
            int32_t sd = date_->SplitDateVal(slot.startDtTm);
            int32_t ed = date_->SplitDateVal(slot.endDtTm);
            bool visible = (first <= sd && sd <= last) || (first <= ed && ed <= last) ||
                           (sd < first && ed > last);
            if (!visible) {
                continue;
            }
            const ClsAppointment& a = *slot.record;
            auto [back, fore] = rebuild_->TypeColors(*global_, a.TypeId());
            int bar = Sched->AddBar(row, date_->SplitTimeVal(a.StartDtTm()),
                                    date_->SplitTimeVal(a.EndDtTm()), sd, ed);
            Sched->SetBarText(row, bar, rebuild_->CustomerName(*global_, a.CustomerId()));
            Sched->SetBarData(row, bar, a.Id());
            Sched->SetBarColor(row, bar, back);
            Sched->SetBarTextColor(row, bar, fore);
        }
    });
}

void DlgMain::ShowFoundAppointment(int32_t id) {
    if (id == 0) {
        return;
    }
    auto a = global_->AppointmentLoad(id);
    int32_t day = date_->SplitDateVal(a->StartDtTm());
    SetScheduleDates(day);
    for (int row = 1; row <= Sched->RowCount(); ++row) {
        if (Sched->RowData(row) == a->ResourceId()) {
            Sched->SetCurrentRow(row);
            break;
        }
    }
    Sched->ScrollToTime(date_->SplitDateVal(a->StartDtTm()), date_->SplitTimeVal(a->StartDtTm()));
}

void DlgMain::Sched_BarAdded(int /*row*/, int /*bar*/, int /*value1*/, int /*value2*/) {
    if (fillDepth_ >= 1) {
        return;
    }
    // Until the appointment dialog exists a drawn bar books nothing; the rebuild takes it
    // off the grid again.
    Trap(kForm, "Sched_BarAdded", [&] { ShowResources(); });
}

void DlgMain::Sched_BarLeftClick(int row, int bar) {
    Trap(kForm, "Sched_BarLeftClick", [&] {
        Sched->BarEventBegin();
        selectedAppointment_ = Sched->BarData(row, bar);
    });
}

void DlgMain::Sched_BarDblClick(int row, int bar) {
    Trap(kForm, "Sched_BarDblClick", [&] {
        Sched->BarEventBegin();
        selectedAppointment_ = Sched->BarData(row, bar);
        if (Action("mnuApptEdit")->isEnabled()) {
            mnuApptEdit_Click();
        }
    });
}

void DlgMain::Sched_BarRightClick(int /*row*/, int /*bar*/) {
    Trap(kForm, "Sched_BarRightClick", [&] {
        PopupCommands({"mnuApptAdd", "mnuApptEdit", "mnuApptDelete"});
    });
}

void DlgMain::Sched_ItemMove(int row, int bar) {
    Trap(kForm, "Sched_ItemMove", [&] {
        if (bar == 0) {
            for (QLabel* panel : statusPanels_) {
                panel->setText(QString());
            }
            return;
        }
        auto a = global_->AppointmentLoad(Sched->BarData(row, bar));
        if (a->Id() == 0) {
            return;
        }
        auto customer = global_->CustomerLoad(a->CustomerId());
        auto type = global_->TypeLoad(a->TypeId());
        statusPanels_.value("Customer")->setText(QString::fromStdString(customer->Name()));
        statusPanels_.value("Type")->setText(QString::fromStdString(type->Name()));
        statusPanels_.value("Start")->setText(
            QString::fromStdString(date_->MinutesToTime(date_->SplitTimeVal(a->StartDtTm()))));
        statusPanels_.value("End")->setText(
            QString::fromStdString(date_->MinutesToTime(date_->SplitTimeVal(a->EndDtTm()))));
    });
}

void DlgMain::Sched_BarPreSelect(int /*value*/, int flag) {
    Trap(kForm, "Sched_BarPreSelect", [&] {
        Sched->BarEventBegin();
        if (flag != 0) {
            Sched->BarPreSelectAction();
        }
    });
}

void DlgMain::Sched_BarPreDrop(int, int, int, int, int, int, int, int flag) {
    Trap(kForm, "Sched_BarPreDrop", [&] {
        Sched->BarEventBegin();
        if (flag == 0) {
            Sched->BarPreDropAction();
        }
    });
}

void DlgMain::Sched_BarChanged(int, int, int, int, int, int, int) {
    Trap(kForm, "Sched_BarChanged", [&] {
        Sched->BarEventBegin();
        Sched->BarChangeAction();
    });
}

void DlgMain::Sched_ScrollTrack(int, int, int) {}

void DlgMain::Sched_GotFocus() {
    HideZoom();
}
