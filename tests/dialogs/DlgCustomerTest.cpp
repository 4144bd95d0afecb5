// The customer dialog: adding, editing, cancelling.
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgCustomer.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

class DlgCustomerTest : public DialogFixture {
public:
    void SetUp() override {
        DialogFixture::SetUp();
        owner = std::make_unique<DlgAppointment>(*window);
        dialog = std::make_unique<DlgCustomer>(*window, owner.get());
    }
    void TearDown() override {
        dialog.reset();
        owner.reset();
        DialogFixture::TearDown();
    }

    std::unique_ptr<DlgAppointment> owner;
    std::unique_ptr<DlgCustomer> dialog;
};

TEST_F(DlgCustomerTest, AddingStartsEmptyAndStoresTheTrimmedNameUnderANewId) {
    Show<DlgCustomer>(*dialog, [](DlgCustomer& d) {
        EXPECT_TRUE(d.TxtCustomerName()->hasFocus());
        EXPECT_EQ(d.TxtCustomerName()->text(), "");
        QTest::keyClicks(d.TxtCustomerName(), "  Ann Lee, Harbour Road Surgery  ");
        d.mnuFileSave_Click();
    });
    ASSERT_NE(dialog->CustomerId(), 0);
    EXPECT_EQ(store().CustomerLoad(dialog->CustomerId())->Name(), "Ann Lee, Harbour Road Su");
}

TEST_F(DlgCustomerTest, EditingShowsTheNameSelectedAndCancelKeepsEverything) {
    int32_t id = AddCustomer("Ray Tolliver");
    dialog->SetCustomerId(id);
    Show<DlgCustomer>(*dialog, [](DlgCustomer& d) {
        EXPECT_EQ(d.TxtCustomerName()->selectedText(), "Ray Tolliver");
        QTest::keyClicks(d.TxtCustomerName(), "Someone else");
        d.mnuFileCancel_Click();
    });
    EXPECT_EQ(dialog->CustomerId(), id);
    EXPECT_EQ(store().CustomerLoad(id)->Name(), "Ray Tolliver");
}

} // namespace
