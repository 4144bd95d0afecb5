// The appointment type dialog: a new type's defaults, the duration spins and the record's
// clamps.
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <tuple>

#include <gtest/gtest.h>

#include "dialogs/DlgAppointment.h"
#include "dialogs/DlgType.h"
#include "tests/dialogs/DialogFixture.h"
#include "widgets/ColorButton.h"
#include "widgets/MaskedTimeField.h"

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
    DlgAppointment owner(services(), schedule());
    DlgType dialog(services(), &owner);
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

// Durations the fields cannot show (beyond 99:59, possible in a file) survive a save that
// leaves them alone; a duration changed is saved as shown; one that is none is refused.
TEST_F(DlgTypeTest, DurationsLeftAloneKeepTheirStoredValues) {
    DlgAppointment owner(services(), schedule());
    DlgType dialog(services(), &owner);
    const std::tuple<const char*, std::function<void(DlgType&)>, int32_t> rows[] = {
        {"untouched", [](DlgType&) {}, 100000},
        {"spun down", [](DlgType& d) { QTest::keyClick(d.TxtMaxTime(), Qt::Key_Down); }, 5998},
        {"typed", [](DlgType& d) { TypeOver(d.TxtMaxTime(), "0130"); }, 90},
        {"typed as it showed", [](DlgType& d) { TypeOver(d.TxtMaxTime(), "9959"); }, 100000},
    };
    for (const auto& [name, edit, maximum] : rows) {
        SCOPED_TRACE(name);
        dialog.SetTypeId(AddType("Long", 6000, 100000, 7000));
        Show<DlgType>(dialog, [&](DlgType& d) {
            EXPECT_EQ(d.TxtMaxTime()->Text(), "99:59");
            edit(d);
            d.mnuFileSave_Click();
        });
        auto type = store().TypeLoad(dialog.TypeId());
        EXPECT_EQ(std::tuple(type->MinTime(), type->MaxTime(), type->IncTime()),
                  std::tuple(6000, maximum, 7000));
    }
    Show<DlgType>(dialog, [&](DlgType& d) {
        TypeOver(d.TxtMaxTime(), "0075");
        QTest::keyClick(d.TxtMaxTime(), Qt::Key_Up);
        d.mnuFileSave_Click();
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(d.TxtMaxTime()->hasFocus());
        EXPECT_EQ(d.TxtMaxTime()->Text(), "00:75");
    });
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_EQ(ui.messages[0].detail, "The maximum 00:75 is not a valid duration.");
    EXPECT_EQ(store().TypeLoad(dialog.TypeId())->MaxTime(), 100000);
}

} // namespace
