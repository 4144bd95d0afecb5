// The bulk delete window: the resource choice, the marks, and what a delete removes.
#include <QComboBox>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

#include "dialogs/DlgDelete.h"
#include "support/CommandHarness.h"
#include "support/LogFile.h"
#include "support/ServicesFixture.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/MultiColumnList.h"

namespace {

using Command = DlgDelete::Command;
using Answer = IWindowing::Answer;

// Rows Alpha, Beta, Gamma; Beta's four appointments stored latest first, Alpha's ids between.
class DlgDeleteTest : public ServicesFixture {
public:
    void SetUp() override {
        ServicesFixture::SetUp();
        AddResource("Gamma");
        beta = AddResource("Beta");
        const int32_t alpha = AddResource("Alpha");
        const int32_t customer = AddCustomer("Ann");
        const int32_t type = AddType("Talk");
        for (int i = 0; i < 4; ++i) {
            const int start = (4 - i) * 120;
            betas.insert(betas.begin(),
                         AddAppointment(beta, customer, type, Day(2021, 6, 7), start, start + 60));
            alphas.insert(alphas.begin(), AddAppointment(alpha, customer, type, Day(2021, 6, 7),
                                                         start, start + 60));
        }
        ShowResources();
        dialog = new DlgDelete(services(), schedule());
    }
    void Open(int currentRow, std::initializer_list<int> marks = {}) {
        grid().SetCurrentRow(currentRow);
        dialog->show();
        QApplication::processEvents();
        for (int row : marks) {
            dialog->LbAppointments()->SetItemMark(row, 1, true);
        }
    }
    std::vector<int32_t> Listed() {
        std::vector<int32_t> ids;
        for (int row = 0; row < dialog->LbAppointments()->ListCount(); ++row) {
            ids.push_back(dialog->LbAppointments()->ItemData(row));
        }
        return ids;
    }
    bool Stored(int32_t id) { return store().Appointments().Exists(id); }

    int32_t beta = 0;
    std::vector<int32_t> alphas, betas; // in order of start
    DlgDelete* dialog = nullptr;
};

// The current row's resource is preselected, the first when there is none; rows by start.
TEST_F(DlgDeleteTest, ListsTheCurrentRowsResourceByStartOrTheFirst) {
    Open(2);
    EXPECT_EQ(dialog->windowTitle(), "Delete Appointment");
    EXPECT_EQ(dialog->CbResource()->count(), 3);
    EXPECT_EQ(dialog->CbResource()->currentText().trimmed(), "Beta");
    EXPECT_EQ(Listed(), betas);
    EXPECT_EQ(dialog->LbAppointments()->ItemText(0, 1), "");
    EXPECT_EQ(dialog->LbAppointments()->ItemText(0, 2), "07/06/21 02:00");
    EXPECT_EQ(dialog->LbAppointments()->ItemText(0, 3), "Ann");
    EXPECT_EQ(dialog->LbAppointments()->ItemText(0, 4), "Talk");
    EXPECT_EQ(dialog->MarkedText(), "0 of 4 marked");
    dialog->CbResource()->setCurrentIndex(2);
    EXPECT_TRUE(Listed().empty()) << "Gamma has none";
    dialog->hide();
    Open(0);
    EXPECT_EQ(dialog->CbResource()->currentIndex(), 0);
    EXPECT_EQ(Listed(), alphas);
}

// The list is fitted to the dates at every opening without making the dialog any wider.
TEST_F(DlgDeleteTest, EveryOpeningHasTheSizeOfTheFirst) {
    Open(2);
    const QSize first = dialog->size();
    for (int opening = 2; opening <= 10; ++opening) {
        dialog->hide();
        Open(2);
        ASSERT_EQ(std::pair(dialog->width(), dialog->height()),
                  std::pair(first.width(), first.height()))
            << "opening " << opening;
    }
}

// Only the marked rows go, whatever ids lie around them on other resources.
TEST_F(DlgDeleteTest, DeletesTheMarkedRowsOnlyAfterYes) {
    Open(2, {0, 2});
    EXPECT_EQ(dialog->MarkedText(), "2 of 4 marked");
    ui.answers = {Answer::Yes};
    dialog->mnuFileDelete_Click();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, "Confirm delete marked appointments?");
    EXPECT_EQ(ui.messages[0].buttons, IWindowing::Buttons::YesNo);
    EXPECT_EQ(store().Appointments().Count(), 6u);
    EXPECT_FALSE(Stored(betas[0]) || Stored(betas[2]));
    Open(2);
    EXPECT_EQ(Listed(), (std::vector<int32_t>{betas[1], betas[3]}));
    EXPECT_EQ(dialog->LbAppointments()->MarkedCount(), 0);
}

// No, or Yes with nothing marked: the dialog closes and nothing is deleted.
TEST_F(DlgDeleteTest, NoOrNothingMarkedDeletesNothing) {
    for (bool marked : {true, false}) {
        SCOPED_TRACE(marked ? "No" : "Yes without marks");
        ui.messages.clear();
        marked ? Open(2, {0, 1, 2, 3}) : Open(2);
        ui.answers = {marked ? Answer::No : Answer::Yes};
        dialog->mnuFileDelete_Click();
        EXPECT_EQ(ui.messages.size(), 1);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(store().Appointments().Count(), 8u);
    }
}

// A failure stops the loop; the user is told how many of the marked went.
TEST_F(DlgDeleteTest, AFailureStopsTheDeleteAndTellsHowManyWent) {
    Open(2, {0, 1, 3});
    struct Refuse : StoreObserver {
        void Removed(const ClsAppointment&, uint64_t) override {
            if (++count == 2) {
                throw std::runtime_error("store change refused");
            }
        }
        int count = 0;
    } refuse;
    StoreObserver* kept = store().SetObserver(&refuse);
    ui.answers = {Answer::Yes};
    dialog->mnuFileDelete_Click();
    store().SetObserver(kept);

    EXPECT_FALSE(Stored(betas[0]) || Stored(betas[1]));
    EXPECT_TRUE(Stored(betas[2]) && Stored(betas[3]));
    EXPECT_EQ(store().AppointmentsOfResource(beta).size(), 2u) << "the index matches the records";
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[1].title, "Error!");
    EXPECT_TRUE(ui.messages[1].text.contains("2 of the 3 marked appointments were deleted"))
        << ui.messages[1].text.toStdString();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_NE(ReadLog().find("store change refused"), std::string::npos);
}

// With row 0 marked and Yes to any question.
using Row = CommandHarness::Row<DlgDeleteTest, DlgDelete>;
const Row kCommands[] = {
    {"Delete", Command::FileDelete, "File", "Delete marked appointments", "Del", false, "Delete",
     "Delete marked appointment(s)",
     [](auto& t, auto& d) {
         return t.ui.log == QStringList{"MessageBox Confirm!"} && !d.isVisible() &&
                !t.Stored(t.betas[0]) && t.store().Appointments().Count() == 7;
     }},
    {"Cancel", Command::FileCancel, "File", "Cancel", "", false, "Cancel", "Cancel",
     [](auto& t, auto& d) {
         return t.ui.log.isEmpty() && !d.isVisible() && t.store().Appointments().Count() == 8;
     }},
    {"Help", Command::Help, "", "Help", "F1", false, "Help", "Help",
     [](auto& t, auto& d) {
         return t.ui.helps.size() == 1 && t.ui.helps[0].request.context == 7 &&
                t.ui.helps[0].owner == t.window.get() && d.isVisible();
     }},
};

class DeleteCommands : public DlgDeleteTest,
                       public ::testing::WithParamInterface<CommandHarness::Case<Row>> {};

TEST_P(DeleteCommands, MenuEntryAndButton) {
    ui.log.clear();
    Open(2, {0});
    ui.answers = {Answer::Yes};
    CommandHarness::Check(*this, *dialog, *GetParam().row, GetParam().by);
}

INSTANTIATE_TEST_SUITE_P(Table, DeleteCommands,
                         ::testing::ValuesIn(CommandHarness::Cases(kCommands)),
                         CommandHarness::CaseName<Row>);

TEST_F(DlgDeleteTest, MenusAndToolBarInOrder) {
    CommandHarness::ExpectMenusAndToolBar(
        *dialog, {"File: Delete marked appointments, -, Cancel", "Help"}, "Cancel Delete | Help");
}

} // namespace
