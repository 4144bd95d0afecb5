#pragma once

#include <cstdint>

#include "datetime/ClsDate.h"
#include "store/StoreChanges.h"

// Records for a fixture's store, made through the change interface as the windows make
// them. The fixture gives changes() and a ClsDate named date.
template <class Fixture> class AddsRecords {
public:
    int32_t AddResource(const char* name) {
        int32_t id = 0;
        return Changes().ResourceSave(id, name);
    }
    int32_t AddCustomer(const char* name) {
        int32_t id = 0;
        return Changes().CustomerSave(id, name);
    }
    int32_t AddType(const char* name) {
        int32_t id = 0;
        return Changes().TypeSave(id, name, 255, 0, 15, 480, 15);
    }
    // Start and end on one day, in minutes.
    int32_t AddAppointment(int32_t resource, int32_t customer, int32_t type, int32_t day,
                           int startMinute, int endMinute) {
        int32_t id = 0;
        const ClsDate& date = static_cast<Fixture*>(this)->date;
        return Changes().AppointmentSave(id, customer, resource, type,
                                         date.JoinDateTime(day, startMinute),
                                         date.JoinDateTime(day, endMinute), "");
    }
    static int32_t Day(int y, int m, int d) { return ClsDate::DayNumberFromCivil(y, m, d); }

private:
    StoreChanges& Changes() { return static_cast<Fixture*>(this)->changes(); }
};
