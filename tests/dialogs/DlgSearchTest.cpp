// The search window: its commands, the criterion lists and the results in order of start.
#include <QComboBox>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>

#include "dialogs/DlgSearch.h"
#include "support/CommandHarness.h"
#include "support/ServicesFixture.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/MultiColumnList.h"
#include "widgets/MultiColumnListModel.h"

namespace {

using Command = DlgSearch::Command;

// Ann has three appointments stored out of order of start, two at the same start; Bob one.
class DlgSearchTest : public ServicesFixture {
public:
    void SetUp() override {
        ServicesFixture::SetUp();
        const int32_t room = AddResource("Room");
        ann = AddCustomer("Ann");
        bob = AddCustomer("Bob");
        talk = AddType("Talk");
        const int32_t review = AddType("Review");
        const int32_t day = Day(2021, 6, 7);
        late = AddAppointment(room, ann, talk, day, 900, 960);
        early = AddAppointment(room, ann, review, day, 540, 600);
        other = AddAppointment(room, bob, talk, day, 600, 660);
        sameStart = AddAppointment(AddResource("Hall"), ann, talk, day, 540, 570);
        dialog = new DlgSearch(services(), [this] { exported = Results(); });
        Open();
    }
    void Open() {
        dialog->show();
        QApplication::processEvents();
    }
    QStringList Criteria() {
        QStringList names;
        for (int i = 0; i < dialog->CbSearch()->count(); ++i) {
            names << dialog->CbSearch()->itemText(i);
        }
        return names;
    }
    std::vector<int32_t> Results() {
        std::vector<int32_t> ids;
        for (int row = 0; row < dialog->LbSearch()->ListCount(); ++row) {
            ids.push_back(dialog->LbSearch()->ItemData(row));
        }
        return ids;
    }
    void Choose(int32_t criterionId) {
        dialog->CbSearch()->setCurrentIndex(dialog->CbSearch()->findData(criterionId));
    }
    bool ByCustomer(bool byCustomer) {
        return dialog->Action(Command::SearchCustomer)->isChecked() == byCustomer &&
               dialog->Action(Command::SearchType)->isChecked() == !byCustomer &&
               dialog->ToolBar()->Button("Customer")->isChecked() == byCustomer &&
               dialog->ToolBar()->Button("Type")->isChecked() == !byCustomer;
    }

    int32_t ann = 0, bob = 0, talk = 0;
    int32_t late = 0, early = 0, other = 0, sameStart = 0;
    DlgSearch* dialog = nullptr;
    std::vector<int32_t> exported; // what the list held when Export was asked for
};

// The first activation searches by customer, the one added last chosen, nothing selected.
// Results run by start whatever the store's order; equal starts keep the store's order.
TEST_F(DlgSearchTest, OpensOnTheLastCustomerAndListsByStart) {
    EXPECT_EQ(dialog->windowTitle(), "Search For Appointment");
    EXPECT_TRUE(ByCustomer(true));
    EXPECT_EQ(dialog->CbSearch()->currentText(), "Bob");
    EXPECT_EQ(Results(), std::vector<int32_t>{other});
    EXPECT_EQ(dialog->LbSearch()->ListIndex(), -1);
    Choose(ann);
    EXPECT_EQ(Results(), (std::vector<int32_t>{early, sameStart, late}));
    EXPECT_EQ(dialog->LbSearch()->ItemText(0, 3), "Ann");
    EXPECT_EQ(dialog->LbSearch()->ItemText(0, 4), "Review");
    dialog->mnuSearchType_Click();
    Choose(talk);
    EXPECT_EQ(Results(), (std::vector<int32_t>{sameStart, other, late}));
}

TEST_F(DlgSearchTest, DatesFollowTheDateFormat) {
    const int32_t id = AddAppointment(AddResource("Old"), bob, talk, Day(2001, 3, 5), 570, 1439);
    for (int format : {0, 1, 7}) {
        SCOPED_TRACE(format);
        const QString day = format == 0 ? "05/03/01 " : "03/05/01 ";
        store().SetDateFormat(format);
        dialog->hide();
        Open();
        ASSERT_EQ(Results().front(), id);
        EXPECT_EQ(dialog->LbSearch()->ItemText(0, 1), day + "09:30");
        EXPECT_EQ(dialog->LbSearch()->ItemText(0, 2), day + "23:59");
    }
}

// The list is fitted to the dates at every opening without making the dialog any wider.
TEST_F(DlgSearchTest, EveryOpeningHasTheSizeOfTheFirst) {
    const QSize first = dialog->size();
    for (int opening = 2; opening <= 10; ++opening) {
        dialog->hide();
        Open();
        ASSERT_EQ(std::pair(dialog->width(), dialog->height()),
                  std::pair(first.width(), first.height()))
            << "opening " << opening;
    }
}

// Select hands back the chosen row; the next showing starts from 0; Cancel after a selection
// gives 0; an empty result and Select give 0; a double-click selects.
TEST_F(DlgSearchTest, SelectGivesTheChosenRowAndOtherwiseNothing) {
    Choose(ann);
    dialog->LbSearch()->SetListIndex(2);
    dialog->mnuFileSelect_Click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->AppointmentId(), late);
    Open();
    EXPECT_EQ(dialog->AppointmentId(), 0);
    Choose(ann);
    dialog->LbSearch()->SetListIndex(0);
    dialog->mnuFileCancel_Click();
    EXPECT_EQ(dialog->AppointmentId(), 0);
    AddCustomer("Cy");
    Open();
    EXPECT_EQ(dialog->CbSearch()->currentText(), "Cy");
    EXPECT_EQ(dialog->LbSearch()->ListCount(), 0);
    dialog->mnuFileSelect_Click();
    EXPECT_EQ(dialog->AppointmentId(), 0);
    Open();
    Choose(ann);
    MultiColumnList* list = dialog->LbSearch();
    const QPoint cell = list->visualRect(list->Model()->index(1, 2)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->AppointmentId(), sameStart);
    Open();
    Choose(ann);
    list->setFocus();
    list->SetListIndex(0);
    QTest::keyClick(list->viewport(), Qt::Key_Enter);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->AppointmentId(), early);
}

// With no records of a criterion, nothing of the other criterion is left to be chosen.
TEST_F(DlgSearchTest, AnEmptyCriterionListLeavesNoResults) {
    Choose(ann);
    ASSERT_GT(dialog->LbSearch()->ListCount(), 0);
    for (const ClsType& t : std::vector<ClsType>(store().Types().begin(), store().Types().end())) {
        store().TypeDelete(t.Id());
    }
    dialog->mnuSearchType_Click();
    EXPECT_EQ(dialog->CbSearch()->count(), 0);
    EXPECT_EQ(dialog->LbSearch()->ListCount(), 0);
}

using Row = CommandHarness::Row<DlgSearchTest, DlgSearch>;
const Row kCommands[] = {
    {"Select", Command::FileSelect, "File", "Select", "", false, "Select", "Select",
     [](auto& t, auto& d) { return !d.isVisible() && d.AppointmentId() == t.early; }},
    {"Export", Command::FileExport, "File", "Export results...", "", false, nullptr, nullptr,
     [](auto& t, auto&) {
         return t.exported == std::vector<int32_t>{t.early, t.sameStart, t.late};
     }},
    {"Cancel", Command::FileCancel, "File", "Cancel", "", false, "Cancel", "Cancel",
     [](auto&, auto& d) { return !d.isVisible() && d.AppointmentId() == 0; }},
    {"Customer", Command::SearchCustomer, "Search by", "Customer", "", true, "Customer",
     "Search by customer",
     [](auto& t, auto&) {
         return t.ByCustomer(true) && t.Criteria() == QStringList{"Ann", "Bob"} &&
                t.Results() == std::vector<int32_t>{t.other};
     }},
    {"Type", Command::SearchType, "Search by", "Appointment type", "", true, "Type",
     "Search by appointment type",
     [](auto& t, auto&) {
         return t.ByCustomer(false) && t.Criteria() == QStringList{"Talk", "Review"} &&
                t.Results() == std::vector<int32_t>{t.early};
     }},
    {"Help", Command::Help, "", "Help", "F1", false, "Help", "Help",
     [](auto& t, auto&) {
         return t.ui.helps.size() == 1 && t.ui.helps[0].request.context == 6 &&
                t.ui.helps[0].owner == t.window.get();
     }},
};

class SearchCommands : public DlgSearchTest,
                       public ::testing::WithParamInterface<CommandHarness::Case<Row>> {};

// From a state every command changes: Ann's first appointment chosen, under the other
// criterion than the command's own.
TEST_P(SearchCommands, MenuEntryAndButton) {
    Open();
    dialog->mnuSearchCustomer_Click();
    Choose(ann);
    dialog->LbSearch()->SetListIndex(0);
    if (GetParam().row->command == Command::SearchCustomer) {
        dialog->mnuSearchType_Click();
    }
    ui.helps.clear();
    CommandHarness::Check(*this, *dialog, *GetParam().row, GetParam().by);
}

INSTANTIATE_TEST_SUITE_P(Table, SearchCommands,
                         ::testing::ValuesIn(CommandHarness::Cases(kCommands)),
                         CommandHarness::CaseName<Row>);

TEST_F(DlgSearchTest, MenusAndToolBarInOrder) {
    CommandHarness::ExpectMenusAndToolBar(*dialog,
                                          {"File: Select, Export results..., -, Cancel",
                                           "Search by: Customer, Appointment type", "Help"},
                                          "Select Cancel | Customer Type | Help");
}

} // namespace
