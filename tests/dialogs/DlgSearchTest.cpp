// The search window: its commands, the criterion lists and the results in order of start.
#include <QComboBox>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>

#include "controls/DropDownToolButton.h"
#include "controls/MultiColumnList.h"
#include "controls/MultiColumnListModel.h"
#include "dialogs/DlgSearch.h"
#include "support/MainWindowFixture.h"

namespace {

using Command = DlgSearch::Command;

// Two customers and two types; Ann has three appointments, stored out of order, two of them
// at the same start.
class DlgSearchTest : public MainWindowFixture {
public:
    void SetUp() override {
        MainWindowFixture::SetUp();
        room = AddResource("Room");
        ann = AddCustomer("Ann");
        bob = AddCustomer("Bob");
        talk = AddType("Talk");
        review = AddType("Review");
        const int32_t day = Day(2021, 6, 7);
        late = AddAppointment(room, ann, talk, day, 900, 960);
        early = AddAppointment(room, ann, review, day, 540, 600);
        other = AddAppointment(room, bob, talk, day, 600, 660);
        int32_t id = 0;
        // Same start as early, on another resource so it may overlap.
        sameStart =
            store().AppointmentSave(id, ann, AddResource("Hall"), talk, date.JoinDateTime(day, 540),
                                    date.JoinDateTime(day, 570), "");
        dialog = new DlgSearch(*window);
        Open();
    }
    // Shows the dialog as a showing does: load, then the first activation.
    void Open() {
        dialog->show();
        QApplication::processEvents();
    }
    // The criterion list's entries, and the result ids in list order.
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
    bool CriterionShown(bool byCustomer) {
        return dialog->Action(Command::SearchCustomer)->isChecked() == byCustomer &&
               dialog->Action(Command::SearchType)->isChecked() == !byCustomer &&
               dialog->ToolBar()->Button("Customer")->isChecked() == byCustomer &&
               dialog->ToolBar()->Button("Type")->isChecked() == !byCustomer;
    }

    int32_t room = 0, ann = 0, bob = 0, talk = 0, review = 0;
    int32_t late = 0, early = 0, other = 0, sameStart = 0;
    DlgSearch* dialog = nullptr;
};

// The first activation searches by customer, listing customers in the store's order with
// the one added last chosen.
TEST_F(DlgSearchTest, OpensOnTheLastCustomerAddedWithItsAppointments) {
    EXPECT_EQ(dialog->windowTitle(), "Search For Appointment");
    EXPECT_TRUE(dialog->Activated());
    EXPECT_TRUE(CriterionShown(true));
    EXPECT_EQ(Criteria(), (QStringList{"Ann", "Bob"}));
    EXPECT_EQ(dialog->CbSearch()->currentText(), "Bob");
    EXPECT_EQ(Results(), std::vector<int32_t>{other});
    EXPECT_EQ(dialog->LbSearch()->ListIndex(), -1) << "nothing chosen for the user";
}

// By start whatever the store's order; equal starts keep the store's order.
TEST_F(DlgSearchTest, ResultsRunByStartAndEqualStartsKeepStoreOrder) {
    Choose(ann);
    EXPECT_EQ(Results(), (std::vector<int32_t>{early, sameStart, late}));
    EXPECT_EQ(dialog->LbSearch()->ItemText(0, 3), "Ann");
    EXPECT_EQ(dialog->LbSearch()->ItemText(0, 4), "Review");
    dialog->mnuSearchType_Click();
    Choose(talk);
    EXPECT_EQ(Results(), (std::vector<int32_t>{sameStart, other, late}));
}

// The columns show start, end, customer and type; the date in the configured order.
struct FormatCase {
    const char* name;
    int32_t dateFormat;
    const char* from;
    const char* to;
};
const FormatCase kFormats[] = {{"DayFirst", 0, "05/03/01 09:30", "05/03/01 23:59"},
                               {"MonthFirst", 1, "03/05/01 09:30", "03/05/01 23:59"},
                               {"AnyOtherIsMonthFirst", 7, "03/05/01 09:30", "03/05/01 23:59"}};

class DlgSearchFormat : public DlgSearchTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(DlgSearchFormat, DatesFollowTheDateFormat) {
    store().SetDateFormat(GetParam().dateFormat);
    const int32_t id = AddAppointment(room, bob, talk, Day(2001, 3, 5), 570, 1439);
    dialog->hide();
    Open();
    EXPECT_EQ(dialog->MonthFirst(), GetParam().dateFormat != 0);
    EXPECT_EQ(dialog->FormatDtTm(date.JoinDateTime(Day(2001, 3, 5), 570)), GetParam().from);
    ASSERT_EQ(Results().front(), id);
    EXPECT_EQ(dialog->LbSearch()->ItemText(0, 1), GetParam().from);
    EXPECT_EQ(dialog->LbSearch()->ItemText(0, 2), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(Table, DlgSearchFormat, ::testing::ValuesIn(kFormats),
                         [](const auto& row) { return std::string(row.param.name); });

// What the dialog hands back, and when it is 0.
TEST_F(DlgSearchTest, SelectGivesTheChosenRowAndOtherwiseNothing) {
    Choose(ann);
    dialog->LbSearch()->SetListIndex(2);
    dialog->mnuFileSelect_Click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->AppointmentId(), late);
    EXPECT_FALSE(dialog->Activated());

    // The next showing starts from nothing chosen; Cancel after a selection gives 0.
    Open();
    EXPECT_EQ(dialog->AppointmentId(), 0);
    Choose(ann);
    dialog->LbSearch()->SetListIndex(0);
    dialog->mnuFileCancel_Click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->AppointmentId(), 0);

    // A customer without appointments: an empty list, and Select gives 0.
    AddCustomer("Cy");
    Open();
    EXPECT_EQ(dialog->CbSearch()->currentText(), "Cy");
    EXPECT_EQ(dialog->LbSearch()->ListCount(), 0);
    dialog->mnuFileSelect_Click();
    EXPECT_EQ(dialog->AppointmentId(), 0);
}

// Double-click and Enter on a row select it, as Select does.
TEST_F(DlgSearchTest, DoubleClickAndEnterSelect) {
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
    ASSERT_EQ(dialog->LbSearch()->ListCount(), 3);
    store().TypeDelete(talk);
    store().TypeDelete(review);
    dialog->mnuSearchType_Click();
    EXPECT_EQ(dialog->CbSearch()->count(), 0);
    EXPECT_EQ(dialog->LbSearch()->ListCount(), 0);
}

// A ";" in a name stays in its column.
TEST_F(DlgSearchTest, ASemicolonInANameKeepsTheColumns) {
    int32_t id = bob;
    store().CustomerSave(id, "Bob; Jr");
    dialog->ShowCustomers();
    ASSERT_EQ(Results(), std::vector<int32_t>{other});
    EXPECT_EQ(dialog->LbSearch()->ItemText(0, 3), QString("Bob") + QChar(0x037E) + " Jr");
    EXPECT_EQ(dialog->LbSearch()->ItemText(0, 4), "Talk");
}

// Every menu entry and toolbar button: caption, tip and effect.
struct SearchCommandCase {
    const char* name;
    Command command;
    const char* caption; // access key removed
    const char* key;     // its toolbar button
    const char* tip;
    std::function<bool(DlgSearchTest&)> effect;
};
const SearchCommandCase kCommands[] = {
    {"Select", Command::FileSelect, "Select", "Select", "Select",
     [](auto& t) { return !t.dialog->isVisible() && t.dialog->AppointmentId() == t.early; }},
    {"Cancel", Command::FileCancel, "Cancel", "Cancel", "Cancel",
     [](auto& t) { return !t.dialog->isVisible() && t.dialog->AppointmentId() == 0; }},
    {"Customer", Command::SearchCustomer, "Customer", "Customer", "Search by customer",
     [](auto& t) {
         return t.CriterionShown(true) && t.Criteria() == QStringList{"Ann", "Bob"} &&
                t.Results() == std::vector<int32_t>{t.other};
     }},
    {"Type", Command::SearchType, "Appointment type", "Type", "Search by appointment type",
     [](auto& t) {
         return t.CriterionShown(false) && t.Criteria() == QStringList{"Talk", "Review"} &&
                t.Results() == std::vector<int32_t>{t.early};
     }},
    {"Help", Command::Help, "Help", "Help", "Help",
     [](auto& t) {
         return t.ui.helps.size() == 1 && t.ui.helps[0].request.context == 6 &&
                t.ui.helps[0].owner == t.window.get();
     }},
};

class SearchCommands : public DlgSearchTest,
                       public ::testing::WithParamInterface<SearchCommandCase> {
protected:
    // A state every command changes: Ann's first appointment chosen, under the other criterion
    // than the command's own.
    void Arrange() {
        if (GetParam().command == Command::SearchCustomer) {
            dialog->mnuSearchType_Click();
        }
        if (GetParam().command != Command::SearchType) {
            dialog->mnuSearchCustomer_Click();
            Choose(ann);
            dialog->LbSearch()->SetListIndex(0);
        }
        if (GetParam().command == Command::SearchCustomer) {
            dialog->mnuSearchType_Click();
        }
        ui.helps.clear();
    }
};

TEST_P(SearchCommands, MenuEntry) {
    const SearchCommandCase& c = GetParam();
    QAction* action = dialog->Action(c.command);
    EXPECT_EQ(action->text().remove('&'), c.caption);
    EXPECT_TRUE(action->text().contains('&'));
    Arrange();
    action->trigger();
    EXPECT_TRUE(c.effect(*this)) << ui.log.join(", ").toStdString();
}

TEST_P(SearchCommands, ToolBarButton) {
    const SearchCommandCase& c = GetParam();
    DropDownToolButton* button = dialog->ToolBar()->Button(c.key);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), c.tip);
    Arrange();
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    EXPECT_TRUE(c.effect(*this)) << ui.log.join(", ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, SearchCommands, ::testing::ValuesIn(kCommands),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(DlgSearchTest, MenusAndToolBarInOrder) {
    EXPECT_EQ(
        MenuLayout(dialog->MenuBar()),
        (QStringList{"File: Select, -, Cancel", "Search by: Customer, Appointment type", "Help"}));
    EXPECT_EQ(dialog->ToolBar()->Layout().join(" "), "Select Cancel | Customer Type | Help");
    EXPECT_EQ(dialog->Action(Command::Help)->shortcut(), QKeySequence(Qt::Key_F1));
}

} // namespace
