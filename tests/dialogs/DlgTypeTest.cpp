// The appointment type dialog: a new type's defaults, the duration spins and the record's
// clamps.
#include <QLineEdit>
#include <QTest>

#include <tuple>

#include <gtest/gtest.h>

#include "controls/ColorButton.h"
#include "controls/MaskedTimeField.h"
#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgType.h"
#include "tests/dialogs/DialogFixture.h"

namespace {

class DlgTypeTest : public DialogFixture {
public:
    static void TypeOver(QWidget* field, const char* text) {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }
};

// A new type shows a fresh record's values. Spinning stops at 00:00; the record raises a
// zero minimum or increment to one minute.
TEST_F(DlgTypeTest, ANewTypesDefaultsSpinsAndClamps) {
    DlgAppointment owner(*window);
    DlgType dialog(*window, &owner);
    int result = Show<DlgType>(dialog, [](DlgType& d) {
        EXPECT_EQ(d.TxtTypeName()->text(), "");
        EXPECT_TRUE(d.TxtTypeName()->hasFocus());
        EXPECT_EQ(std::tuple(d.BtnBackColor()->Color(), d.BtnForeColor()->Color(),
                             d.LblType()->BackColor(), d.LblType()->ForeColor()),
                  std::tuple(0x0000FFu, 0x00FFFFu, 0x0000FFu, 0x00FFFFu));
        EXPECT_EQ(
            QStringList({d.TxtMinTime()->Text(), d.TxtMaxTime()->Text(), d.TxtIncTime()->Text()}),
            QStringList({"00:01", "00:00", "00:01"}));
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
    auto type = store().TypeLoad(dialog.TypeId());
    ASSERT_NE(type->Id(), 0);
    EXPECT_EQ(std::tuple(type->Name(), type->MinTime(), type->MaxTime(), type->IncTime()),
              std::tuple("Long lunch", 1, 91, 1));
}

} // namespace
