// The bulk delete window: the resource choice, the marks, and what a delete removes.
#include <QComboBox>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

#include "controls/DropDownToolButton.h"
#include "controls/MultiColumnList.h"
#include "dialogs/DlgDelete.h"
#include "support/LogFile.h"
#include "support/MainWindowFixture.h"

namespace {

using Command = DlgDelete::Command;
using Answer = IWindowing::Answer;

// Rows Alpha, Beta, Gamma. Beta's four appointments are stored out of order of start and
// Alpha's ids lie between them.
class DlgDeleteTest : public MainWindowFixture {
public:
    void SetUp() override {
        MainWindowFixture::SetUp();
        gamma = AddResource("Gamma");
        beta = AddResource("Beta");
        alpha = AddResource("Alpha");
        const int32_t customer = AddCustomer("Ann");
        const int32_t type = AddType("Talk");
        const int32_t day = Day(2021, 6, 7);
        for (int i = 0; i < 4; ++i) {
            const int start = (4 - i) * 120; // Beta's latest first
            betas.push_back(AddAppointment(beta, customer, type, day, start, start + 60));
            alphas.push_back(AddAppointment(alpha, customer, type, day, start, start + 60));
        }
        window->ShowResources();
        dialog = new DlgDelete(*window);
    }
    void Open(int currentRow) {
        grid().SetCurrentRow(currentRow);
        dialog->show();
        QApplication::processEvents();
    }
    std::vector<int32_t> Listed() {
        std::vector<int32_t> ids;
        for (int row = 0; row < dialog->LbAppointments()->ListCount(); ++row) {
            ids.push_back(dialog->LbAppointments()->ItemData(row));
        }
        return ids;
    }
    void Mark(std::initializer_list<int> rows) {
        for (int row : rows) {
            dialog->LbAppointments()->SetItemMark(row, 1, true);
        }
    }
    bool Stored(int32_t id) { return store().Appointments().Exists(id); }
    // Beta's appointments in order of start, as the list shows them.
    std::vector<int32_t> BetaByStart() { return {betas[3], betas[2], betas[1], betas[0]}; }

    int32_t alpha = 0, beta = 0, gamma = 0;
    std::vector<int32_t> alphas, betas;
    DlgDelete* dialog = nullptr;
};

TEST_F(DlgDeleteTest, ListsTheCurrentRowsResourceByStart) {
    Open(2);
    EXPECT_EQ(dialog->windowTitle(), "Delete Appointment");
    QStringList resources;
    for (int i = 0; i < dialog->CbResource()->count(); ++i) {
        resources << dialog->CbResource()->itemText(i).trimmed() + "=" +
                         QString::number(dialog->CbResource()->itemData(i).toInt());
    }
    EXPECT_EQ(resources, (QStringList{QString("Alpha=%1").arg(alpha), QString("Beta=%1").arg(beta),
                                      QString("Gamma=%1").arg(gamma)}));
    EXPECT_EQ(dialog->CbResource()->currentIndex(), 1);
    EXPECT_EQ(Listed(), BetaByStart());
    EXPECT_EQ(dialog->LbAppointments()->ItemText(0, 1), "");
    EXPECT_EQ(dialog->LbAppointments()->ItemText(0, 2), "07/06/21 02:00");
    EXPECT_EQ(dialog->LbAppointments()->ItemText(0, 3), "Ann");
    EXPECT_EQ(dialog->LbAppointments()->ItemText(0, 4), "Talk");
    EXPECT_EQ(dialog->MarkedText(), "0 of 4 marked");
}

TEST_F(DlgDeleteTest, WithNoCurrentRowTheFirstResourceIsChosen) {
    Open(0);
    EXPECT_EQ(dialog->CbResource()->currentIndex(), 0);
    EXPECT_EQ(Listed().size(), 4u);
    EXPECT_EQ(store().AppointmentLoad(Listed()[0])->ResourceId(), alpha);
    // Another resource's choice lists its own; one without appointments lists nothing.
    dialog->CbResource()->setCurrentIndex(2);
    EXPECT_TRUE(Listed().empty());
}

// Only the marked rows go, whatever ids lie around them on other resources.
TEST_F(DlgDeleteTest, DeletesTheMarkedRowsOnlyAfterYes) {
    Open(2);
    Mark({0, 2});
    EXPECT_EQ(dialog->MarkedText(), "2 of 4 marked");
    ui.answers = {Answer::Yes};
    dialog->mnuFileDelete_Click();
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].text, "Confirm delete marked appointments?");
    EXPECT_EQ(ui.messages[0].title, "Confirm!");
    EXPECT_EQ(ui.messages[0].icon, IWindowing::Icon::Question);
    EXPECT_EQ(ui.messages[0].buttons, IWindowing::Buttons::YesNo);
    EXPECT_FALSE(dialog->isVisible());
    const std::vector<int32_t> listed = BetaByStart();
    EXPECT_FALSE(Stored(listed[0]));
    EXPECT_TRUE(Stored(listed[1]));
    EXPECT_FALSE(Stored(listed[2]));
    EXPECT_TRUE(Stored(listed[3]));
    for (int32_t id : alphas) {
        EXPECT_TRUE(Stored(id)) << id;
    }
    EXPECT_EQ(store().AppointmentsOfResource(beta).size(), 2u);
    EXPECT_EQ(store().Appointments().Count(), 6u);

    // The next showing lists what is left, unmarked.
    Open(2);
    EXPECT_EQ(Listed(), (std::vector<int32_t>{listed[1], listed[3]}));
    EXPECT_EQ(dialog->LbAppointments()->MarkedCount(), 0);
}

// No, or Yes with nothing marked: the dialog closes and nothing is deleted.
TEST_F(DlgDeleteTest, NoOrNothingMarkedDeletesNothing) {
    const struct {
        const char* name;
        Answer answer;
        bool mark;
    } rows[] = {{"No", Answer::No, true}, {"YesWithoutMarks", Answer::Yes, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ui.messages.clear();
        Open(2);
        if (row.mark) {
            Mark({0, 1, 2, 3});
        }
        ui.answers = {row.answer};
        dialog->mnuFileDelete_Click();
        EXPECT_EQ(ui.messages.size(), 1);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(store().Appointments().Count(), 8u);
    }
}

// A failure stops the delete where it struck: what went stays gone, the rest stays, the
// failure is logged, and the user is told how many of the marked went.
TEST_F(DlgDeleteTest, AFailureStopsTheDeleteAndTellsHowManyWent) {
    Open(2);
    Mark({0, 1, 3});
    int changes = 0;
    store().SetChangeListener([&] {
        if (++changes == 2) {
            throw std::runtime_error("store change refused");
        }
    });
    ui.answers = {Answer::Yes};
    dialog->mnuFileDelete_Click();
    store().SetChangeListener(nullptr);

    const std::vector<int32_t> listed = BetaByStart();
    EXPECT_FALSE(Stored(listed[0]));
    EXPECT_FALSE(Stored(listed[1]));
    EXPECT_TRUE(Stored(listed[3])) << "the loop stopped before the third mark";
    EXPECT_TRUE(Stored(listed[2])) << "never marked";
    EXPECT_EQ(store().AppointmentsOfResource(beta).size(), 2u) << "the index matches the records";
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_EQ(ui.messages[1].title, "Error!");
    EXPECT_EQ(ui.messages[1].icon, IWindowing::Icon::Exclamation);
    EXPECT_TRUE(ui.messages[1].text.contains("2 of the 3 marked appointments were deleted"))
        << ui.messages[1].text.toStdString();
    EXPECT_FALSE(dialog->isVisible());
    const std::string log = ReadLog();
    EXPECT_NE(log.find("DlgDelete"), std::string::npos) << log;
    EXPECT_NE(log.find("mnuFileDelete_Click"), std::string::npos) << log;
    EXPECT_NE(log.find("store change refused"), std::string::npos) << log;
}

// Every menu entry and toolbar button: caption, tip and effect.
struct DeleteCommandCase {
    const char* name;
    Command command;
    const char* caption; // access key removed
    const char* key;     // its toolbar button
    const char* tip;
    std::function<bool(DlgDeleteTest&)> effect; // with row 0 marked and Yes to any question
};
const DeleteCommandCase kCommands[] = {
    {"Delete", Command::FileDelete, "Delete marked appointments", "Delete",
     "Delete marked appointment(s)",
     [](auto& t) {
         return t.ui.log == QStringList{"MessageBox Confirm!"} && !t.dialog->isVisible() &&
                !t.Stored(t.BetaByStart()[0]) && t.store().Appointments().Count() == 7;
     }},
    {"Cancel", Command::FileCancel, "Cancel", "Cancel", "Cancel",
     [](auto& t) {
         return t.ui.log.isEmpty() && !t.dialog->isVisible() &&
                t.store().Appointments().Count() == 8;
     }},
    {"Help", Command::Help, "Help", "Help", "Help",
     [](auto& t) {
         return t.ui.helps.size() == 1 && t.ui.helps[0].request.context == 7 &&
                t.ui.helps[0].owner == t.window.get() && t.dialog->isVisible();
     }},
};

class DeleteCommands : public DlgDeleteTest,
                       public ::testing::WithParamInterface<DeleteCommandCase> {
public:
    void Arrange() {
        Open(2);
        Mark({0});
        ui.answers = {Answer::Yes};
    }
};

TEST_P(DeleteCommands, MenuEntry) {
    const DeleteCommandCase& c = GetParam();
    QAction* action = dialog->Action(c.command);
    EXPECT_EQ(action->text().remove('&'), c.caption);
    EXPECT_TRUE(action->text().contains('&'));
    Arrange();
    action->trigger();
    EXPECT_TRUE(c.effect(*this)) << ui.log.join(", ").toStdString();
}

TEST_P(DeleteCommands, ToolBarButton) {
    const DeleteCommandCase& c = GetParam();
    DropDownToolButton* button = dialog->ToolBar()->Button(c.key);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->toolTip(), c.tip);
    Arrange();
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    EXPECT_TRUE(c.effect(*this)) << ui.log.join(", ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, DeleteCommands, ::testing::ValuesIn(kCommands),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(DlgDeleteTest, MenusAndToolBarInOrder) {
    EXPECT_EQ(MenuLayout(dialog->MenuBar()),
              (QStringList{"File: Delete marked appointments, -, Cancel", "Help"}));
    EXPECT_EQ(dialog->ToolBar()->Layout().join(" "), "Cancel Delete | Help");
    EXPECT_EQ(dialog->Action(Command::FileDelete)->shortcut(), QKeySequence(QKeySequence::Delete));
    EXPECT_EQ(dialog->Action(Command::Help)->shortcut(), QKeySequence(Qt::Key_F1));
}

} // namespace
