// The appointment type dialog: a new type's defaults, the duration spins and the record's
// clamps.
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "controls/ColorButton.h"
#include "controls/MaskedTimeField.h"
#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgType.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

class DlgTypeTest : public DialogFixture {
public:
    void SetUp() override {
        DialogFixture::SetUp();
        owner = std::make_unique<DlgAppointment>(*window);
        dialog = std::make_unique<DlgType>(*window, owner.get());
    }
    void TearDown() override {
        dialog.reset();
        owner.reset();
        DialogFixture::TearDown();
    }
    static void TypeOver(QWidget* field, const char* text) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }

    std::unique_ptr<DlgAppointment> owner;
    std::unique_ptr<DlgType> dialog;
};

// A new type shows a fresh record's values. Spinning stops at 00:00; the record raises a
// zero minimum or increment to one minute.
TEST_F(DlgTypeTest, ANewTypesDefaultsSpinsAndClamps) {
    int result = Show<DlgType>(*dialog, [](DlgType& d) {
        EXPECT_EQ(d.TxtTypeName()->text(), "");
        EXPECT_TRUE(d.TxtTypeName()->hasFocus());
        EXPECT_EQ(d.BtnBackColor()->Color(), 0x0000FFu);
        EXPECT_EQ(d.BtnForeColor()->Color(), 0x00FFFFu);
        EXPECT_EQ(d.LblType()->BackColor(), 0x0000FFu);
        EXPECT_EQ(d.LblType()->ForeColor(), 0x00FFFFu);
        EXPECT_EQ(d.TxtMinTime()->Text(), "00:01");
        EXPECT_EQ(d.TxtMaxTime()->Text(), "00:00");
        EXPECT_EQ(d.TxtIncTime()->Text(), "00:01");
        QTest::keyClicks(d.TxtTypeName(), "  Long lunch  ");
        QTest::keyClick(d.TxtMinTime(), Qt::Key_Down);
        QTest::keyClick(d.TxtMinTime(), Qt::Key_Down);
        EXPECT_EQ(d.TxtMinTime()->Value(), 0);
        QTest::keyClick(d.TxtMaxTime(), Qt::Key_Up);
        TypeOver(d.TxtMaxTime(), "0130");
        QTest::keyClick(d.TxtMaxTime(), Qt::Key_Up);
        QTest::keyClick(d.TxtIncTime(), Qt::Key_Down);
        d.mnuFileSave_Click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    auto type = store().TypeLoad(dialog->TypeId());
    ASSERT_NE(type->Id(), 0);
    EXPECT_EQ(type->Name(), "Long lunch");
    EXPECT_EQ(type->MinTime(), 1);
    EXPECT_EQ(type->MaxTime(), 91);
    EXPECT_EQ(type->IncTime(), 1);
}

} // namespace
