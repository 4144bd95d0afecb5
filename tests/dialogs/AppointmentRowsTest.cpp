// The texts of the search and bulk-delete rows.
#include <gtest/gtest.h>

#include "datetime/ClsDate.h"
#include "dialogs/AppointmentRows.h"
#include "store/ClsGlobal.h"
#include "support/StoreFixture.h"

namespace {

class AppointmentRowsTest : public StoreFixture {
protected:
    void SetUp() override {
        StoreFixture::SetUp();
        store = std::make_unique<ClsGlobal>(ProgramFolders{dir.path()});
    }
    QString Format(int y, int m, int d, int minutes, bool monthFirst) {
        AppointmentRows rows(*store, date, "Test");
        return rows.FormatDtTm(date.JoinDateTime(ClsDate::DayNumberFromCivil(y, m, d), minutes),
                               monthFirst);
    }

    ClsDate date;
    std::unique_ptr<ClsGlobal> store;
};

TEST_F(AppointmentRowsTest, DatesHaveTwoDigitYearsInEitherOrder) {
    EXPECT_EQ(Format(2001, 3, 5, 570, false), "05/03/01 09:30");
    EXPECT_EQ(Format(2001, 3, 5, 570, true), "03/05/01 09:30");
    EXPECT_EQ(Format(1999, 12, 31, 1439, false), "31/12/99 23:59");
    EXPECT_EQ(Format(2021, 6, 2, 1447, false).mid(9).toStdString(), date.MinutesToTime(1447));
    EXPECT_EQ(Format(2000, 1, 1, 0, true), "01/01/00 00:00");
    EXPECT_EQ(Format(1899, 12, 30, 60, false), "30/12/99 01:00") << "before 1 Jan 1900";
    store->SetOption(4, false); // the 12-hour clock
    EXPECT_EQ(Format(2001, 3, 5, 720, false), "05/03/01 12:00pm");
    EXPECT_EQ(Format(2001, 3, 5, 5, true), "03/05/01 12:05am");
    EXPECT_EQ(Format(2001, 3, 5, 1290, false), "05/03/01 9:30pm");
}

TEST(AppointmentRowsColumnTest, ASemicolonCannotStartAColumn) {
    EXPECT_EQ(AppointmentRows::ColumnValue("Bob; Jr"), QString("Bob") + QChar(0x037E) + " Jr");
}

TEST(AppointmentRowsSortTest, ByStartWithEqualStartsInTheirOrder) {
    std::vector<AppointmentRows::Match> matches = {{30, 1}, {10, 2}, {30, 3}, {-5, 4}, {10, 5}};
    AppointmentRows::SortByStart(matches);
    std::vector<int32_t> ids;
    for (const auto& m : matches) {
        ids.push_back(m.id);
    }
    EXPECT_EQ(ids, (std::vector<int32_t>{4, 2, 5, 1, 3}));
}

} // namespace
