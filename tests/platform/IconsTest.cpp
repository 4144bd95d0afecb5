#include <QImage>
#include <gtest/gtest.h>

#include "platform/Icons.h"

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

// Every key is drawn visibly and differently at both sizes; unknown keys give nothing; the
// about picture fills its square.
TEST(IconsTest, EveryKeyIsDrawnVisiblyAndDifferently) {
    ASSERT_EQ(
        Icons::Keys(),
        QStringList({"Exit",     "Undo",     "Redo",    "Configure", "Resource", "Appointment",
                     "Date",     "Today",    "Search",  "View",      "Zoom",     "Print",
                     "Help",     "Save",     "Select",  "Cancel",    "Customer", "Type",
                     "Delete",   "PrevWeek", "PrevDay", "Calendar",  "NextDay",  "NextWeek",
                     "PrevPage", "NextPage"}));
    for (int size : {16, 24}) {
        QList<QImage> images;
        for (const QString& key : Icons::Keys()) {
            SCOPED_TRACE(key.toStdString() + " " + std::to_string(size));
            const QImage image = Icons::ForKey(key).pixmap(size).toImage();
            ASSERT_EQ(image.size(), QSize(size, size));
            EXPECT_GT(Coverage(image), 0.15);
            EXPECT_LT(Coverage(image), 0.95);
            EXPECT_FALSE(images.contains(image));
            images << image;
        }
    }
    EXPECT_TRUE(Icons::ForKey("Nonsense").isNull() && Icons::ForKey("exit").isNull() &&
                Icons::Render("Nonsense", 24).isNull());
    const QImage picture = Icons::AboutPicture(96).toImage();
    ASSERT_EQ(picture.size(), QSize(96, 96));
    EXPECT_GT(Coverage(picture), 0.8);
}

} // namespace
