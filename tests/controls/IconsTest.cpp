#include <QImage>
#include <gtest/gtest.h>

#include "controls/Icons.h"

namespace {

// Share of the square that is painted at all.
double Coverage(const QImage& image) {
    int painted = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            painted += qAlpha(image.pixel(x, y)) > 64 ? 1 : 0;
        }
    }
    return static_cast<double>(painted) / (image.width() * image.height());
}

class IconSizeTest : public ::testing::TestWithParam<int> {};

TEST_P(IconSizeTest, EveryKeyIsDrawnVisiblyAndDifferently) {
    const QStringList keys = Icons::Keys();
    ASSERT_EQ(keys, QStringList({"Exit",    "Configure", "Resource", "Appointment", "Date",
                                 "Today",   "Search",    "View",     "Zoom",        "Print",
                                 "Help",    "Save",      "Select",   "Cancel",      "Customer",
                                 "Type",    "Delete",    "PrevWeek", "PrevDay",     "Calendar",
                                 "NextDay", "NextWeek",  "PrevPage", "NextPage"}));
    QList<QImage> images;
    for (const QString& key : keys) {
        SCOPED_TRACE(key.toStdString());
        const QImage image = Icons::ForKey(key).pixmap(GetParam()).toImage();
        ASSERT_EQ(image.size(), QSize(GetParam(), GetParam()));
        EXPECT_GT(Coverage(image), 0.15);
        EXPECT_LT(Coverage(image), 0.95);
        EXPECT_FALSE(images.contains(image));
        images << image;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, IconSizeTest, ::testing::Values(16, 24));

TEST(IconsTest, UnknownKeysGiveNothingAndTheAboutPictureFillsItsSquare) {
    EXPECT_TRUE(Icons::ForKey("Nonsense").isNull());
    EXPECT_TRUE(Icons::ForKey("exit").isNull());
    EXPECT_TRUE(Icons::Render("Nonsense", 24).isNull());
    const QImage picture = Icons::AboutPicture(96).toImage();
    ASSERT_EQ(picture.size(), QSize(96, 96));
    EXPECT_GT(Coverage(picture), 0.8);
}

} // namespace
