// What a screen reader says of a booking's bar on the main window.
#include "grid/ScheduleGridAccessible.h"
#include "support/MainWindowFixture.h"

namespace {

TEST_F(MainWindowFixture, ABarIsSpokenWithItsRowTimesCustomerAndType) {
    UsedBefore();
    window->show();
    window->Form_Activate();
    const int32_t monday = Day(2021, 9, 6);
    const int32_t room = AddResource("Alder");
    const int32_t typed =
        AddAppointment(room, AddCustomer("Hal Brenner"), AddType("Interview"), monday, 540, 630);
    const int32_t untyped = AddAppointment(room, AddCustomer("Ann"), 0, monday + 1, 600, 660);
    int32_t start = monday;
    window->SetScheduleDates(start);
    const struct {
        int32_t id;
        const char* name;
    } cases[] = {
        {typed, "Alder, Monday 6 September 09:00 to 10:30, Hal Brenner, Interview"},
        {untyped, "Alder, Tuesday 7 September 10:00 to 11:00, Ann"},
    };
    for (const auto& c : cases) {
        const ScheduleGrid::Hit at = BarOf(c.id);
        EXPECT_EQ(ScheduleGridAccessible::BarName(grid(), at.row, at.bar), c.name);
    }
}

} // namespace
