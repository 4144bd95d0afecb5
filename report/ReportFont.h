#pragma once

#include <QFont>
#include <QString>

// The one font every report is printed in, so that a report measures and looks the same on
// every machine: DejaVu Sans (the program depends on fonts-dejavu-core). Sizes are given in
// points and the font is sized in twips: one pixel of the font is one twip. It is unhinted, so
// widths scale exactly with the size on screen, on paper and in PDF.
namespace ReportFont {

inline constexpr const char* Family = "DejaVu Sans";

// The report font at a size in points. The first call makes sure the family is the real one:
// when the system does not offer it, the font file is loaded from where the package puts it;
// when that fails too, the failure is logged once and Qt's substitute is used.
QFont Font(int points, bool bold);

// True when the family resolves to DejaVu Sans itself, not to a substitute.
bool Available();

} // namespace ReportFont
