#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include "schedule/DlgAbout.h"
#include "support/ScriptedWindowing.h"

namespace {

struct VersionCase {
    int major, minor, revision;
    const char* text;
};

class FormatVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(FormatVersionTest, PadsMinorToTwoAndRevisionToFourDigits) {
    const VersionCase& c = GetParam();
    EXPECT_EQ(DlgAbout::FormatVersion(c.major, c.minor, c.revision), c.text);
}

INSTANTIATE_TEST_SUITE_P(Table, FormatVersionTest,
                         ::testing::Values(VersionCase{2, 0, 2, "2.00.0002"},
                                           VersionCase{10, 12, 345, "10.12.0345"},
                                           VersionCase{1, 5, 12345, "1.05.12345"}));

TEST(DlgAboutTest, ShowsTheVersionAndOkayClosesIt) {
    QWidget main;
    main.setGeometry(200, 150, 900, 700);
    DlgAbout about(&main);
    ScriptedWindowing windowing;
    windowing.modalActions.push_back([&](QDialog* shown) {
        EXPECT_EQ(shown, &about);
        EXPECT_TRUE(about.isVisible());
        EXPECT_EQ(about.LblVersion->text(), "Version 2.00.0002");
        EXPECT_FALSE(about.Image1->pixmap().isNull());
        EXPECT_EQ(about.BtnAbout->text(), "Okay");
        // Centred over the main window.
        EXPECT_LE(std::abs(about.frameGeometry().center().x() - main.geometry().center().x()), 1);
        EXPECT_LE(std::abs(about.frameGeometry().center().y() - main.geometry().center().y()), 1);
        QTest::mouseClick(about.BtnAbout, Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
        return about.result();
    });
    EXPECT_EQ(windowing.ShowModal(&about), QDialog::Accepted);
}

} // namespace
