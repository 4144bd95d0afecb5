// The appointment type dialog: a new type's defaults, the duration spins and the record's
// clamps, the colours through the colour dialog, cancel, the tab order.
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

TEST_F(DlgTypeTest, ANewTypeShowsTheFreshRecordsValues) {
    Show<DlgType>(*dialog, [](DlgType& d) {
        EXPECT_EQ(d.TxtTypeName()->text(), "");
        EXPECT_TRUE(d.TxtTypeName()->hasFocus());
        EXPECT_EQ(d.BtnBackColor()->Color(), 0x0000FFu);
        EXPECT_EQ(d.BtnForeColor()->Color(), 0x00FFFFu);
        EXPECT_EQ(d.LblType()->BackColor(), 0x0000FFu);
        EXPECT_EQ(d.LblType()->ForeColor(), 0x00FFFFu);
        EXPECT_EQ(d.TxtMinTime()->Text(), "00:01");
        EXPECT_EQ(d.TxtMaxTime()->Text(), "00:00");
        EXPECT_EQ(d.TxtIncTime()->Text(), "00:01");
    });
}

// Spinning stops at 00:00; the record raises a zero minimum or increment to one minute.
TEST_F(DlgTypeTest, SpinsStopAtZeroAndTheRecordRaisesZeroToOne) {
    int result = Show<DlgType>(*dialog, [](DlgType& d) {
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

// The colour dialog starts from the button's colour; closing it without a choice keeps
// it. Cancelling afterwards writes nothing and keeps TypeId.
TEST_F(DlgTypeTest, ColoursComeFromTheColourDialogAndCancelKeepsTheStoredType) {
    int32_t id = AddType("Review", 15, 480, 15);
    dialog->SetTypeId(id);
    ui.colors = {0x00C0FFC0u, std::nullopt};
    Show<DlgType>(*dialog, [](DlgType& d) {
        EXPECT_EQ(d.TxtTypeName()->text(), "Review");
        EXPECT_EQ(d.TxtMaxTime()->Text(), "08:00");
        QTest::mouseClick(d.BtnBackColor(), Qt::LeftButton);
        EXPECT_EQ(d.BtnBackColor()->Color(), 0x00C0FFC0u);
        EXPECT_EQ(d.LblType()->BackColor(), 0x00C0FFC0u);
        QTest::mouseClick(d.BtnForeColor(), Qt::LeftButton);
        EXPECT_EQ(d.LblType()->ForeColor(), 0x00FFFFu);
        d.mnuFileCancel_Click();
    });
    EXPECT_EQ(ui.colorsOffered, (QList<uint32_t>{0x0000FFu, 0x00FFFFu}));
    EXPECT_EQ(dialog->TypeId(), id);
    EXPECT_EQ(store().TypeLoad(id)->BackColor(), 0x0000FF);
}

TEST_F(DlgTypeTest, TabRunsDownTheFields) {
    Show<DlgType>(*dialog, [](DlgType& d) {
        QList<QWidget*> order;
        for (int i = 0; i < 6; ++i) {
            order << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        EXPECT_EQ(order, (QList<QWidget*>{d.TxtTypeName(), d.BtnForeColor(), d.BtnBackColor(),
                                          d.TxtMinTime(), d.TxtMaxTime(), d.TxtIncTime()}));
    });
}

} // namespace
