#include <QApplication>
#include <QSlider>
#include <QTest>

#include "report/PreviewFixture.h"

namespace {

class AccessiblePreviewTest : public PreviewFixture {};

TEST_F(AccessiblePreviewTest, PagedZoomedAndClosedByKeysAndItsPageNamed) {
    AddResources(60);
    Open([&](DlgPreview& p) {
        QApplication::setActiveWindow(&p);
        ReportView* page = p.CanvasView();
        ASSERT_EQ(p.Canvas().PageCount(), 3);
        EXPECT_EQ(page->accessibleName().toStdString(), "Page 1 of 3");
        EXPECT_EQ(p.LblPage()->accessibleName().toStdString(), "Page 1 of 3");

        QTest::keyClick(page, Qt::Key_PageDown);
        EXPECT_EQ(page->accessibleName().toStdString(), "Page 2 of 3");
        EXPECT_EQ(p.LblPage()->accessibleName().toStdString(), "Page 2 of 3");

        // From the whole page, in steps of a tenth, and back.
        p.ZoomSlide()->setValue(0);
        QTest::keyClick(page, Qt::Key_Plus, Qt::ControlModifier);
        const int in = page->Zoom();
        EXPECT_GT(in, 0);
        QTest::keyClick(page, Qt::Key_Minus, Qt::ControlModifier);
        EXPECT_EQ(page->Zoom(), in - 1);

        QTest::keyClick(page, Qt::Key_Escape);
        EXPECT_FALSE(p.isVisible());
    });
}

} // namespace
