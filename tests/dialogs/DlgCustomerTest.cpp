// The customer dialog: adding, editing, cancelling.
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgCustomer.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

using DlgCustomerTest = DialogFixture;

// A new customer starts empty and is stored trimmed, typing having stopped at 24 characters;
// an edit shows the name selected, and Cancel keeps the record and the id.
TEST_F(DlgCustomerTest, AddThenEditAndCancel) {
    DlgAppointment owner(services(), schedule());
    DlgCustomer dialog(services(), &owner);
    Show<DlgCustomer>(dialog, [](DlgCustomer& d) {
        EXPECT_TRUE(d.TxtCustomerName()->hasFocus());
        EXPECT_EQ(d.TxtCustomerName()->text(), "");
        QTest::keyClicks(d.TxtCustomerName(), "  Ann Lee, Harbour Road Surgery  ");
        d.mnuFileSave_Click();
    });
    const int32_t id = dialog.CustomerId();
    ASSERT_NE(id, 0);
    EXPECT_EQ(store().CustomerLoad(id)->Name(), "Ann Lee, Harbour Road");
    Show<DlgCustomer>(dialog, [](DlgCustomer& d) {
        EXPECT_EQ(d.TxtCustomerName()->selectedText(), "Ann Lee, Harbour Road");
        QTest::keyClicks(d.TxtCustomerName(), "Someone else");
        d.mnuFileCancel_Click();
    });
    EXPECT_EQ(dialog.CustomerId(), id);
    EXPECT_EQ(store().CustomerLoad(id)->Name(), "Ann Lee, Harbour Road");
    EXPECT_EQ(store().Customers().Count(), 1u);
}

} // namespace
