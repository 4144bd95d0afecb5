// The main window's search command: the appointment chosen is brought into view.
#include <QScrollBar>
#include <gtest/gtest.h>

#include "dialogs/DlgSearch.h"
#include "support/MainWindowFixture.h"
#include "widgets/MultiColumnList.h"

namespace {

const int32_t kDay = MainWindowFixture::Day(2021, 3, 14); // a Sunday

// The window shown and activated (with today's sample rows), plus a resource "Zulu" with one
// appointment on 14 March 2021, 15:00 to 16:00, for the last customer added.
class DlgMainSearchTest : public MainWindowFixture {
public:
    void SetUp() override {
        MainWindowFixture::SetUp();
        window->show();
        window->Form_Activate();
        quinn = AddCustomer("Quinn");
        found = AddAppointment(AddResource("Zulu"), quinn, AddType("Visit"), kDay, 900, 960);
        window->ShowResources();
    }
    // Runs the search command, choosing the appointment (0: choosing nothing).
    void Search(int32_t choose) {
        ui.modalActions.push_back([choose](QDialog* dialog) {
            auto* search = qobject_cast<DlgSearch*>(dialog);
            for (int row = 0; row < search->LbSearch()->ListCount(); ++row) {
                if (search->LbSearch()->ItemData(row) == choose) {
                    search->LbSearch()->SetListIndex(row);
                }
            }
            choose == 0 ? search->mnuFileCancel_Click() : search->mnuFileSelect_Click();
            return 0;
        });
        window->mnuApptSearch_Click();
    }
    int RowOf(const char* name) {
        for (int row = 1; row <= grid().RowCount(); ++row) {
            if (grid().RowText(row).trimmed() == name) {
                return row;
            }
        }
        return 0;
    }
    // The moment lies within the grid's visible time range.
    bool InView(int32_t day, int minute) {
        const int x = grid().PointFor(day, minute, 1).x();
        return x >= 0 && x < grid().viewport()->width();
    }

    int32_t quinn = 0, found = 0;
};

struct ViewCase {
    const char* name;
    int timeType;
    int32_t first, last;
};
const ViewCase kViews[] = {
    {"Week", 0, kDay, kDay + 6},
    {"FourWeeks", 1, MainWindowFixture::Day(2021, 3, 8), MainWindowFixture::Day(2021, 4, 4)},
    {"Month", 2, MainWindowFixture::Day(2021, 3, 1), MainWindowFixture::Day(2021, 3, 31)},
};

class DlgMainSearchView : public DlgMainSearchTest,
                          public ::testing::WithParamInterface<ViewCase> {};

// The range of the current view type around the start, the resource's row, the start shown,
// the appointment selected.
TEST_P(DlgMainSearchView, BringsTheChosenAppointmentIntoView) {
    grid().SetTimeType(GetParam().timeType);
    grid().SetCurrentRow(RowOf("Meeting #1"));
    Search(found);
    EXPECT_EQ(
        std::tuple(grid().TimeType(), grid().DateFirst(), grid().DateLast(), grid().CurrentRow()),
        std::tuple(GetParam().timeType, GetParam().first, GetParam().last, RowOf("Zulu")));
    EXPECT_TRUE(InView(kDay, 900));
    EXPECT_TRUE(GetParam().timeType == 0 || grid().horizontalScrollBar()->value() > 0)
        << "scrolled to the start";
    // Selected and marked, so Edit appointment works on it.
    EXPECT_EQ(window->SelectedAppointment(), found);
    const ScheduleGrid::Hit marked = grid().SelectedBar();
    EXPECT_EQ(grid().BarData(marked.row, marked.bar), found);
}

INSTANTIATE_TEST_SUITE_P(Table, DlgMainSearchView, ::testing::ValuesIn(kViews),
                         [](const auto& row) { return std::string(row.param.name); });

// An appointment whose resource has no row: its dates are shown and no other resource's row
// stays selected as if it were the found one's. Choosing nothing, or an appointment gone by
// the time the dialog closed, changes nothing.
TEST_F(DlgMainSearchTest, AResourceWithoutARowSelectsNoRowAndNothingChosenChangesNothing) {
    int32_t id = 0;
    const int32_t orphan =
        changes().AppointmentSave(id, quinn, 987654, 0, date.JoinDateTime(kDay + 30, 600),
                                  date.JoinDateTime(kDay + 30, 660), "");
    ASSERT_GT(orphan, 0);
    grid().SetCurrentRow(RowOf("Zulu"));
    Search(orphan);
    EXPECT_EQ(std::tuple(grid().DateFirst(), grid().CurrentRow()), std::tuple(kDay + 30, 0));
    EXPECT_TRUE(InView(kDay + 30, 600));
    grid().SetCurrentRow(RowOf("Meeting #2"));
    Search(0);
    window->ShowFoundAppointment(found + 1000);
    EXPECT_EQ(std::tuple(grid().DateFirst(), grid().CurrentRow()),
              std::tuple(kDay + 30, RowOf("Meeting #2")));
}

} // namespace
