#pragma once

#include <QDialog>

#include <functional>
#include <gtest/gtest.h>

#include "datetime/ClsDate.h"
#include "store/ClsGlobal.h"
#include "support/ServicesFixture.h"

// The services with a resource word stored, the schedule on the clock's day. Dialogs go
// through the scripted windowing, so their set-up has run in a body.
class DialogFixture : public ServicesFixture {
public:
    static int32_t At(int32_t day, int minute) { return ClsDate().JoinDateTime(day, minute); }

    void SetUp() override {
        {
            ClsGlobal seen(ProgramFolders{dir.path()});
            seen.SetResourceType("Rooms");
            ASSERT_TRUE(seen.Save().Ok());
        }
        ServicesFixture::SetUp();
        grid().SetDateFirst(Day(2021, 6, 2));
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
};
