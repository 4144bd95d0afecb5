#include "store/SampleData.h"

#include <cstdint>

#include "datetime/ClsDate.h"
#include "store/StoreChanges.h"

namespace {
void Fill(StoreChanges& store, const ClsDate& date) {
    store.SetResourceType("Rooms");

    struct TypeRow {
        const char* name;
        int32_t back, fore, minTime, maxTime, incTime;
    };
    const TypeRow types[] = {{"Meeting", 0x000000FF, 0x0000FFFF, 15, 480, 15},
                             {"Interview", 0x00FF0000, 0x0000FFFF, 30, 120, 30},
                             {"Review", 0x00FFFF00, 0x00000000, 15, 480, 15}};
    int32_t typeIds[3];
    for (int i = 0; i < 3; ++i) {
        typeIds[i] = 0;
        store.TypeSave(typeIds[i], types[i].name, types[i].back, types[i].fore, types[i].minTime,
                       types[i].maxTime, types[i].incTime);
    }

    const char* resources[] = {"Meeting #1", "Meeting #2", "Interview #1"};
    int32_t resourceIds[3];
    for (int i = 0; i < 3; ++i) {
        resourceIds[i] = 0;
        store.ResourceSave(resourceIds[i], resources[i]);
    }

    const char* customers[] = {"Ray Tolliver", "Hal Brenner", "Tom Ashby"};
    int32_t customerIds[3];
    for (int i = 0; i < 3; ++i) {
        customerIds[i] = 0;
        store.CustomerSave(customerIds[i], customers[i]);
    }

    // Indexes into the arrays above: type, resource, customer.
    struct AppointmentRow {
        const char* reference;
        int type, resource, customer;
        int32_t start, end;
    };
    const AppointmentRow appointments[] = {
        {"MTG 001", 0, 0, 0, 540, 660}, {"MTG 001", 0, 1, 0, 540, 660},
        {"MTG 002", 1, 2, 1, 540, 570}, {"MTG 003", 2, 0, 2, 660, 720},
        {"MTG 004", 1, 1, 2, 840, 900}, {"MTG 005", 2, 2, 0, 720, 780},
        {"MTG 006", 1, 2, 1, 780, 810}, {"MTG 007", 2, 2, 2, 810, 930},
        {"MTG 008", 1, 2, 2, 600, 690}, {"MTG 009", 2, 1, 1, 690, 780},
        {"MTG 009", 2, 0, 0, 780, 1020}};
    int32_t today = date.Today();
    for (const AppointmentRow& a : appointments) {
        int32_t id = 0;
        store.AppointmentSave(id, customerIds[a.customer], resourceIds[a.resource], typeIds[a.type],
                              date.JoinDateTime(today, a.start), date.JoinDateTime(today, a.end),
                              a.reference);
    }
}
} // namespace

void CreateSampleData(StoreChanges& store, const ClsDate& date) {
    store.Batch([&] { Fill(store, date); });
}
