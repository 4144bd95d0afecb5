#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/QtWindowing.h"

namespace {

using Answer = IWindowing::Answer;
using Buttons = IWindowing::Buttons;
using Icon = IWindowing::Icon;

// Acts on the box, dialog or menu once it is open, so the modal loop can return.
void WhenOpen(std::function<void()> act) {
    QTimer::singleShot(50, std::move(act));
}

struct BoxCase {
    const char* name;
    Buttons buttons;
    Icon icon;
    const char* press; // button text, or "" to press Escape
    Answer expected;
    QMessageBox::Icon qtIcon;
    const char* detail = ""; // shown under the text
};
class MessageBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxTest, AnswersWithTheButtonPressed) {
    const BoxCase& c = GetParam();
    QtWindowing windowing;
    QStringList seen; // text, title, icon
    WhenOpen([&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->text(), box->windowTitle(), QString::number(box->icon()),
                box->informativeText()};
        for (QAbstractButton* button : box->buttons()) {
            if (*c.press != '\0' && button->text().remove('&') == QLatin1String(c.press)) {
                return button->click();
            }
        }
        EXPECT_EQ(*c.press, '\0') << "no button " << c.press;
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(windowing.MessageBox(nullptr, "Delete Room 1?\r\n(all gone)", "Confirm", c.icon,
                                   c.buttons, c.detail),
              c.expected);
    EXPECT_EQ(seen, QStringList({"Delete Room 1?\n(all gone)", "Confirm", QString::number(c.qtIcon),
                                 c.detail}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessageBoxTest,
    ::testing::Values(
        BoxCase{"Yes", Buttons::YesNo, Icon::Question, "Yes", Answer::Yes, QMessageBox::Question},
        BoxCase{"No", Buttons::YesNo, Icon::Question, "No", Answer::No, QMessageBox::Question},
        BoxCase{"EscNo", Buttons::YesNo, Icon::Question, "", Answer::No, QMessageBox::Question},
        BoxCase{"Ok", Buttons::Ok, Icon::Information, "OK", Answer::Ok, QMessageBox::Information},
        BoxCase{"Warn", Buttons::Ok, Icon::Exclamation, "OK", Answer::Ok, QMessageBox::Warning,
                "It overlaps another booking."},
        BoxCase{"Retry", Buttons::RetryCancel, Icon::Critical, "Retry", Answer::Retry,
                QMessageBox::Critical},
        BoxCase{"EscCancel", Buttons::RetryCancel, Icon::None, "", Answer::Cancel,
                QMessageBox::NoIcon}),
    [](const auto& tp) { return std::string(tp.param.name); });

// A dialog with a parent blocks only its parent's windows.
TEST(QtShowModalTest, ADialogWithAParentBlocksOnlyItsParentsWindows) {
    QtWindowing windowing;
    QWidget main;
    QDialog owned(&main);
    QDialog orphan;
    for (QDialog* dialog : {&owned, &orphan}) {
        const bool hasParent = dialog == &owned;
        WhenOpen([dialog, hasParent] {
            EXPECT_EQ(dialog->windowModality(), hasParent ? Qt::WindowModal : Qt::ApplicationModal);
            dialog->done(hasParent ? QDialog::Accepted : QDialog::Rejected);
        });
        EXPECT_EQ(windowing.ShowModal(dialog), hasParent ? QDialog::Accepted : QDialog::Rejected);
    }
    EXPECT_EQ(windowing.ShowModal(nullptr), QDialog::Rejected);
}

// Down from the top passes the separator and the greyed entry; Escape chooses nothing.
TEST(QtPopupMenuTest, ReturnsTheIdOfTheChosenEntrySkippingGreyedOnesAndZeroOnEscape) {
    QtWindowing windowing;
    const QList<IWindowing::MenuEntry> entries{{1, "Add appointment", true, false},
                                               {2, "", false, true},
                                               {3, "Edit appointment", false, false},
                                               {4, "Delete appointment", true, false}};
    QStringList shown;
    WhenOpen([&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (const QAction* action : menu->actions()) {
            shown << (action->isSeparator() ? QStringLiteral("-")
                      : action->isEnabled() ? action->text()
                                            : action->text() + " (grey)");
        }
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) {
            QTest::keyClick(menu, key);
        }
    });
    EXPECT_EQ(windowing.PopupMenu(nullptr, QPoint(100, 100), entries), 4);
    EXPECT_EQ(shown, QStringList({"Add appointment", "-", "Edit appointment (grey)",
                                  "Delete appointment"}));
    WhenOpen([] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape); });
    EXPECT_EQ(windowing.PopupMenu(nullptr, QPoint(100, 100), entries), 0);
}

} // namespace
