#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "controls/QtWindowing.h"

namespace {

using Answer = IWindowing::Answer;
using Buttons = IWindowing::Buttons;
using Icon = IWindowing::Icon;

// Acts on the box or menu once it is open, so the modal loop can return.
void WhenOpen(std::function<void()> act) {
    QTimer::singleShot(50, std::move(act));
}

QMessageBox* OpenBox() {
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
}

struct BoxCase {
    const char* name;
    Buttons buttons;
    Icon icon;
    const char* press; // button text, or "" to press Escape
    Answer expected;
    QMessageBox::Icon qtIcon;
};

class MessageBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MessageBoxTest, AnswersWithTheButtonPressed) {
    const BoxCase& c = GetParam();
    QtWindowing windowing;
    QString seenText;
    QString seenTitle;
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    WhenOpen([&] {
        QMessageBox* box = OpenBox();
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        seenTitle = box->windowTitle();
        seenIcon = box->icon();
        if (*c.press == '\0') {
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text().remove('&') == QLatin1String(c.press)) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << c.press;
        box->reject();
    });
    const Answer answer = windowing.MessageBox(
        nullptr, "Confirm delete resource Room 1?\r\n(all gone)", "Confirm", c.icon, c.buttons);
    EXPECT_EQ(answer, c.expected);
    EXPECT_EQ(seenText, "Confirm delete resource Room 1?\n(all gone)");
    EXPECT_EQ(seenTitle, "Confirm");
    EXPECT_EQ(seenIcon, c.qtIcon);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MessageBoxTest,
    ::testing::Values(
        BoxCase{"Yes", Buttons::YesNo, Icon::Question, "Yes", Answer::Yes, QMessageBox::Question},
        BoxCase{"No", Buttons::YesNo, Icon::Question, "No", Answer::No, QMessageBox::Question},
        BoxCase{"EscapeIsNo", Buttons::YesNo, Icon::Question, "", Answer::No,
                QMessageBox::Question},
        BoxCase{"Ok", Buttons::Ok, Icon::Information, "OK", Answer::Ok, QMessageBox::Information},
        BoxCase{"Exclamation", Buttons::Ok, Icon::Exclamation, "OK", Answer::Ok,
                QMessageBox::Warning},
        BoxCase{"Retry", Buttons::RetryCancel, Icon::Critical, "Retry", Answer::Retry,
                QMessageBox::Critical},
        BoxCase{"EscapeIsCancel", Buttons::RetryCancel, Icon::None, "", Answer::Cancel,
                QMessageBox::NoIcon}),
    [](const ::testing::TestParamInfo<BoxCase>& param) { return param.param.name; });

TEST(QtShowModalTest, ADialogWithAParentBlocksOnlyItsParentsWindows) {
    QtWindowing windowing;
    QWidget main;
    QDialog owned(&main);
    QDialog orphan;
    Qt::WindowModality ownedModality = Qt::NonModal;
    Qt::WindowModality orphanModality = Qt::NonModal;
    WhenOpen([&] {
        ownedModality = owned.windowModality();
        owned.accept();
    });
    EXPECT_EQ(windowing.ShowModal(&owned), QDialog::Accepted);
    WhenOpen([&] {
        orphanModality = orphan.windowModality();
        orphan.reject();
    });
    EXPECT_EQ(windowing.ShowModal(&orphan), QDialog::Rejected);
    EXPECT_EQ(ownedModality, Qt::WindowModal);
    EXPECT_EQ(orphanModality, Qt::ApplicationModal);
    EXPECT_EQ(windowing.ShowModal(nullptr), QDialog::Rejected);
}

QList<IWindowing::MenuEntry> Entries() {
    return {{1, "Add appointment", true, false},
            {2, "", false, true},
            {3, "Edit appointment", false, false},
            {4, "Delete appointment", true, false}};
}

TEST(QtPopupMenuTest, ReturnsTheIdOfTheChosenEntryAndSkipsGreyedOnes) {
    QtWindowing windowing;
    QStringList shown;
    WhenOpen([&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (const QAction* action : menu->actions()) {
            shown << (action->isSeparator() ? QStringLiteral("-")
                      : action->isEnabled() ? action->text()
                                            : action->text() + " (grey)");
        }
        // Down from the top passes the separator and the greyed entry.
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    EXPECT_EQ(windowing.PopupMenu(nullptr, QPoint(100, 100), Entries()), 4);
    EXPECT_EQ(shown, QStringList({"Add appointment", "-", "Edit appointment (grey)",
                                  "Delete appointment"}));
}

TEST(QtPopupMenuTest, EscapeGivesZero) {
    QtWindowing windowing;
    WhenOpen([] {
        if (QWidget* menu = QApplication::activePopupWidget()) {
            QTest::keyClick(menu, Qt::Key_Escape);
        }
    });
    EXPECT_EQ(windowing.PopupMenu(nullptr, QPoint(100, 100), Entries()), 0);
}

} // namespace
