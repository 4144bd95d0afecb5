#include <QImage>
#include <gtest/gtest.h>

#include "platform/ColorRef.h"
#include "widgets/ColorButton.h"

namespace {

// Red in the low byte; the top byte of a reference is not a colour.
TEST(ColorRefTest, ConvertsExactlyBothWays) {
    const std::tuple<uint32_t, QColor, uint32_t> rows[] = {
        {0x000000FF, QColor(255, 0, 0), 0x000000FF},
        {0x00FF0000, QColor(0, 0, 255), 0x00FF0000},
        {0x0000FFFF, QColor(255, 255, 0), 0x0000FFFF},
        {0x00C0FFC0, QColor(192, 255, 192), 0x00C0FFC0},
        {0xFF123456, QColor(0x56, 0x34, 0x12), 0x00123456}};
    for (const auto& [ref, color, back] : rows) {
        EXPECT_EQ(ColorRefToQColor(ref), color) << std::hex << ref;
        EXPECT_EQ(QColorToColorRef(ColorRefToQColor(ref)), back) << std::hex << ref;
    }
}

// A screen reader says the colour in words; references are 0x00BBGGRR, so blue is high.
TEST(ColorButtonTest, SaysItsColourInWords) {
    const std::pair<uint32_t, const char*> rows[] = {
        {0x00000000, "black, #000000"},       {0x00FFFFFF, "white, #ffffff"},
        {0x00C0C0C0, "light grey, #c0c0c0"},  {0x00800000, "dark blue, #000080"},
        {0x000000FF, "red, #ff0000"},         {0x000080FF, "orange, #ff8000"},
        {0x00C0FFC0, "light green, #c0ffc0"}, {0x00FF00FF, "magenta, #ff00ff"},
        {0x00FFFF00, "cyan, #00ffff"},        {0x00CBC0FF, "light pink, #ffc0cb"}};
    for (const auto& [ref, words] : rows) {
        EXPECT_EQ(ColorButton::Describe(ref), words) << std::hex << ref;
    }
    ColorButton button;
    button.SetColor(0x00800000);
    EXPECT_EQ(button.accessibleDescription(), "dark blue, #000080");
}

// What the user sees is the colour held: the button's face and the label's two colours.
TEST(ColorButtonTest, ButtonAndLabelShowTheirColours) {
    ColorButton button;
    button.resize(80, 30);
    button.SetColor(0x0000FF00);
    EXPECT_EQ(button.Color(), 0x0000FF00u);
    EXPECT_EQ(QColor(button.grab().toImage().pixel(40, 15)), QColor(0, 255, 0));
    ColorLabel label("Type");
    label.resize(80, 30);
    label.SetBackColor(0x000000FF);
    label.SetForeColor(0x0000FFFF);
    const QImage shown = label.grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(3, 3)), QColor(255, 0, 0));
    int yellow = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            yellow += QColor(shown.pixel(x, y)).green() > 128 ? 1 : 0; // red has none
        }
    }
    EXPECT_GT(yellow, 10) << "the caption drawn in the fore colour";
}

} // namespace
