#pragma once

#include <QPageSize>
#include <QString>

#include <cstdint>

// The thirteen paper sizes of the report, by code 1 to 13 (the preview's menu item index
// plus one), with the dimensions their captions state.
namespace PaperSize {

inline constexpr int16_t Count = 13;

struct Paper {
    const char* caption; // the menu caption, "A4 (210x297 mm)"
    double width;        // portrait width and height, in the caption's unit
    double height;
    QPageSize::Unit unit;
};

// The paper of a code; code 1 (Letter) for any code outside 1 to 13.
const Paper& OfCode(int16_t code);
bool ValidCode(int16_t code);

// Width and height in twips, rounded to whole twips; landscape swaps them.
int32_t WidthTwips(int16_t code, bool landscape);
int32_t HeightTwips(int16_t code, bool landscape);

// The paper for Qt's print support in portrait, exactly as the caption states it.
QPageSize PageSize(int16_t code);

} // namespace PaperSize
