#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "schedule/DlgAbout.h"
#include "support/ScriptedWindowing.h"

namespace {

TEST(DlgAboutTest, PadsMinorToTwoAndRevisionToFourDigitsWithoutCutting) {
    EXPECT_EQ(DlgAbout::FormatVersion(10, 12, 345), "10.12.0345");
    EXPECT_EQ(DlgAbout::FormatVersion(1, 5, 12345), "1.05.12345");
}

TEST(DlgAboutTest, ShowsTheVersionCentredOverTheMainWindowAndOkayClosesIt) {
    QWidget main;
    main.setGeometry(200, 150, 900, 700);
    DlgAbout about(&main);
    ScriptedWindowing windowing;
    windowing.modalActions.push_back([&](QDialog*) {
        EXPECT_EQ(about.LblVersion->text(), "Version 2.00.0002");
        EXPECT_FALSE(about.Image1->pixmap().isNull());
        EXPECT_EQ(about.BtnAbout->text(), "Okay");
        const QPoint offset = about.frameGeometry().center() - main.geometry().center();
        EXPECT_LE(std::max(std::abs(offset.x()), std::abs(offset.y())), 1)
            << offset.x() << ", " << offset.y();
        QTest::mouseClick(about.BtnAbout, Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
        return about.result();
    });
    EXPECT_EQ(windowing.ShowModal(&about), QDialog::Accepted);
}

} // namespace
