#pragma once

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "datetime/Clock.h"
#include "datetime/ClsDate.h"
#include "schedule/DlgMain.h"
#include "store/ClsGlobal.h"
#include "store/ModError.h"
#include "store/ProgramFolders.h"
#include "support/ScriptedWindowing.h"
#include "support/TempDir.h"

// The menu holding the action ("" for the bar itself, "?" for nowhere); every title and entry on
// the way must have an access key.
inline QString MenuOf(QMenuBar* bar, QAction* action) {
    for (QAction* title : bar->actions()) {
        if (!title->text().contains('&')) {
            return "no access key: " + title->text();
        }
        if (title == action) {
            return "";
        }
        if (title->menu() != nullptr && title->menu()->actions().contains(action)) {
            return action->text().contains('&') ? title->text().remove('&')
                                                : "no access key: " + action->text();
        }
    }
    return "?";
}

// "File: Save, -, Cancel" per menu, "-" for a separator.
inline QStringList MenuLayout(QMenuBar* bar) {
    QStringList menus;
    for (QAction* title : bar->actions()) {
        QStringList entries;
        for (QAction* a : title->menu() ? title->menu()->actions() : QList<QAction*>{}) {
            entries << (a->isSeparator() ? "-" : a->text().remove('&'));
        }
        menus << title->text().remove('&') + (entries.isEmpty() ? "" : ": " + entries.join(", "));
    }
    return menus;
}

// A main window on an empty store, the clock at Wednesday 2 June 2021 10:00, the schedule on
// that week. Dialogs go through the scripted windowing, so their set-up has run in a body.
class DialogFixture : public ::testing::Test {
public:
    static int32_t Day(int y, int m, int d) { return ClsDate::DayNumberFromCivil(y, m, d); }
    static int32_t At(int32_t day, int minute) { return ClsDate().JoinDateTime(day, minute); }

    void SetUp() override {
        Clock::SetFixed(Clock::LocalTime{2021, 6, 2, 10, 0, 0});
        ModError::SetLogFile(ProgramFolders{dir.path()}.LogFile());
        {
            ClsGlobal seen(ProgramFolders{dir.path()});
            seen.SetResourceType("Rooms");
            ASSERT_TRUE(seen.Save().Ok());
        }
        window = std::make_unique<DlgMain>(ui, ProgramFolders{dir.path()});
        int32_t start = Day(2021, 6, 2);
        window->SetScheduleDates(start);
    }
    void TearDown() override {
        window.reset();
        Clock::SetFixed(std::nullopt);
    }

    ClsGlobal& store() { return window->Global(); }
    int32_t AddResource(const char* name) {
        int32_t id = 0;
        return store().ResourceSave(id, name);
    }
    int32_t AddCustomer(const char* name) {
        int32_t id = 0;
        return store().CustomerSave(id, name);
    }
    int32_t AddType(const char* name, int32_t minTime, int32_t maxTime, int32_t incTime) {
        int32_t id = 0;
        return store().TypeSave(id, name, 0x0000FF, 0x00FFFF, minTime, maxTime, incTime);
    }
    int32_t AddAppointment(int32_t customer, int32_t resource, int32_t type, int32_t start,
                           int32_t end) {
        int32_t id = 0;
        return store().AppointmentSave(id, customer, resource, type, start, end, "REF");
    }

    // Shows the dialog modally, running the body while it is up; gives the dialog's result.
    template <class D> int Show(D& dialog, const std::function<void(D&)>& body) {
        ui.modalActions.push_back([body](QDialog* shown) {
            body(static_cast<D&>(*shown));
            return shown->result();
        });
        return ui.ShowModal(&dialog);
    }

    TempDir dir;
    ScriptedWindowing ui;
    std::unique_ptr<DlgMain> window;
};
