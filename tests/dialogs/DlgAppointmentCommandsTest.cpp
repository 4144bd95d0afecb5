// Every menu entry and toolbar button of the appointment dialog, and its keyboard.
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgCustomer.h"
#include "dialogs/DlgRepeat.h"
#include "dialogs/DlgType.h"
#include "store/SampleData.h"
#include "store/StoreChanges.h"
#include "support/CommandHarness.h"
#include "tests/dialogs/DialogFixture.h"
#include "ui/ClsDialog.h"
#include "widgets/DropDownToolButton.h"
#include "widgets/KeyedToolBar.h"
#include "widgets/LookupComboBox.h"
#include "widgets/MaskedDateField.h"
#include "widgets/MaskedTimeField.h"

namespace {

using Command = DlgAppointment::Command;

// The sample data, the dialog editing Ray Tolliver's meeting on Meeting #1.
class DlgAppointmentCommandsTest : public DialogFixture {
public:
    void SetUp() override {
        DialogFixture::SetUp();
        CreateSampleData(changes(), date);
        dialog = std::make_unique<DlgAppointment>(services(), schedule());
        for (const ClsAppointment& a : store().Appointments()) {
            if (a.Reference() == "MTG 001") {
                dialog->SetAppointmentId(a.Id());
                ray = a.CustomerId();
                meeting = a.TypeId();
            }
        }
    }
    void TearDown() override {
        dialog.reset();
        DialogFixture::TearDown();
    }
    // Runs the body while the dialog is up, the log cleared after its set-up.
    void InDialog(const std::function<void(DlgAppointment&)>& body) {
        Show<DlgAppointment>(*dialog, [&](DlgAppointment& d) {
            ui.log.clear();
            body(d);
        });
    }
    bool Closed(DlgAppointment& d, int result) const {
        return !d.isVisible() && d.result() == result;
    }
    bool Opened(const char* className) const {
        return ui.log == QStringList{QString("ShowModal ") + className};
    }
    // The question's first line.
    bool Asked(const QString& text) const {
        return ui.messages.size() == 1 && ui.messages[0].text.section("\r\n", 0, 0) == text &&
               ui.messages[0].title == "Confirm!" &&
               ui.messages[0].icon == IWindowing::Icon::Question;
    }

    std::unique_ptr<DlgAppointment> dialog;
    int32_t ray = 0;
    int32_t meeting = 0;
};

using Row = CommandHarness::Row<DlgAppointmentCommandsTest, DlgAppointment>;

const Row kCommands[] = {
    {"Save", Command::FileSave, "File", "Save appointment", "Ctrl+S", false, "Save",
     "Save appointment", [](auto& t, auto& d) { return t.Closed(d, QDialog::Accepted); }},
    // Shown and backed out of, it leaves the appointment dialog open.
    {"Repeat", Command::FileRepeat, "File", "Repeat...", "", false, nullptr, nullptr,
     [](auto& t, auto& d) {
         return t.Opened("DlgRepeat") && d.isVisible() && d.RepeatDialog().First().id != 0;
     }},
    {"Cancel", Command::FileCancel, "File", "Cancel", "", false, "Cancel", "Cancel",
     [](auto& t, auto& d) { return t.Closed(d, QDialog::Rejected); }},
    {"AddCustomer", Command::CustomerAdd, "Customer", "Add customer", "", false, "Customer",
     "Customer",
     [](auto& t, auto& d) {
         return t.Opened("DlgCustomer") && d.CustomerDialog().CustomerId() == 0;
     }},
    {"EditCustomer", Command::CustomerEdit, "Customer", "Edit customer", "", false, nullptr,
     nullptr,
     [](auto& t, auto& d) {
         return t.Opened("DlgCustomer") && d.CustomerDialog().CustomerId() == t.ray &&
                ClsDialog::ComboGetCurrentId(d.CbCustomer()) == t.ray;
     }},
    {"DeleteCustomer", Command::CustomerDelete, "Customer", "Delete customer", "", false, nullptr,
     nullptr, [](auto& t, auto&) { return t.Asked("Confirm delete Ray Tolliver?"); }},
    {"AddType", Command::TypeAdd, "Appointment type", "Add appointment type", "", false, "Type",
     "Appointment type",
     [](auto& t, auto& d) { return t.Opened("DlgType") && d.TypeDialog().TypeId() == 0; }},
    {"EditType", Command::TypeEdit, "Appointment type", "Edit appointment type", "", false, nullptr,
     nullptr,
     [](auto& t, auto& d) { return t.Opened("DlgType") && d.TypeDialog().TypeId() == t.meeting; }},
    {"DeleteType", Command::TypeDelete, "Appointment type", "Delete appointment type", "", false,
     nullptr, nullptr, [](auto& t, auto&) { return t.Asked("Confirm delete Meeting?"); }},
    {"Help", Command::Help, "", "Help", "F1", false, "Help", "Help",
     [](auto& t, auto&) {
         return t.ui.helps.size() == 1 && t.ui.helps[0].request.context == 3 &&
                t.ui.helps[0].request.command == IWindowing::HelpRequest::Command::Context &&
                t.ui.helps[0].owner == t.window.get();
     }},
};

class Commands : public DlgAppointmentCommandsTest,
                 public ::testing::WithParamInterface<CommandHarness::Case<Row>> {};

TEST_P(Commands, CaptionShortcutAndEffect) {
    InDialog([&](DlgAppointment& d) {
        CommandHarness::Check(*this, d, *GetParam().row, GetParam().by);
    });
}

INSTANTIATE_TEST_SUITE_P(Table, Commands, ::testing::ValuesIn(CommandHarness::Cases(kCommands)),
                         CommandHarness::CaseName<Row>);

// The two drop-down buttons offer add, edit and delete and run the one chosen.
TEST_F(DlgAppointmentCommandsTest, DropDownsOfferAddEditAndDelete) {
    const std::tuple<const char*, QStringList, const char*> drops[] = {
        {"Customer", {"Add customer", "Edit customer", "Delete customer"}, "DlgCustomer"},
        {"Type",
         {"Add appointment type", "Edit appointment type", "Delete appointment type"},
         "DlgType"}};
    for (const auto& [key, entries, opens] : drops) {
        InDialog([&](DlgAppointment& d) {
            EXPECT_EQ(CommandHarness::DropDownOffers(ui, d.ToolBar()->Button(key), 1), entries);
            EXPECT_TRUE(ui.log.contains(QString("ShowModal ") + opens)) << key;
        });
    }
}

TEST_F(DlgAppointmentCommandsTest, MenusAndToolBarInOrder) {
    CommandHarness::ExpectMenusAndToolBar(
        *dialog,
        {"File: Save appointment, Repeat..., -, Cancel",
         "Customer: Add customer, Edit customer, Delete customer",
         "Appointment type: Add appointment type, Edit appointment type, Delete appointment type",
         "Help"},
        "Save Cancel Customer Type Help");
}

// Tab runs down the fields; Ctrl+S saves; Escape closes what dropped down first (completions,
// the calendar), then cancels the dialog.
TEST_F(DlgAppointmentCommandsTest, KeyboardWalksTheFieldsSavesAndCancels) {
    InDialog([&](DlgAppointment& d) {
        d.TxtRef()->setFocus();
        QList<QWidget*> order;
        for (int i = 0; i < 8; ++i) {
            order << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(order, (QList<QWidget*>{d.TxtRef(), d.CbResource(), d.CbType(), d.CbCustomer(),
                                          d.DateStart(), d.TimeStart(), d.DateEnd(), d.TimeEnd()}));
        QTest::keyClick(d.TimeEnd(), Qt::Key_S, Qt::ControlModifier);
        EXPECT_TRUE(Closed(d, QDialog::Accepted));
    });
    InDialog([&](DlgAppointment& d) {
        d.CbCustomer()->setFocus();
        d.CbCustomer()->lineEdit()->selectAll();
        QTest::keyClicks(d.CbCustomer(), "t");
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        QTest::keyClick(popup, Qt::Key_Escape);
        EXPECT_FALSE(popup->isVisible());
        d.DateStart_ClickDrop();
        ASSERT_EQ(QApplication::activePopupWidget(), d.SelMonth());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(d.SelMonth()->isVisible());
        ASSERT_TRUE(d.isVisible());
        QTest::keyClick(d.TimeEnd(), Qt::Key_Escape);
        EXPECT_TRUE(Closed(d, QDialog::Rejected));
    });
}

} // namespace
