#include "report/PaperSize.h"

#include <QSizeF>

#include <cmath>

namespace PaperSize {
namespace {

constexpr Paper kPapers[Count] = {
    {"Letter (8.5x11 in)", 8.5, 11, QPageSize::Inch},
    {"Legal (8.5x14 in)", 8.5, 14, QPageSize::Inch},
    {"Executive (7.5x10.5 in)", 7.5, 10.5, QPageSize::Inch},
    {"Tabloid (11x17 in)", 11, 17, QPageSize::Inch},
    {"Ledger (17x11 in)", 17, 11, QPageSize::Inch},
    {"Statement (5.5x8.5 in)", 5.5, 8.5, QPageSize::Inch},
    {"Folio (8.5x13 in)", 8.5, 13, QPageSize::Inch},
    {"A3 (297x420 mm)", 297, 420, QPageSize::Millimeter},
    {"A4 (210x297 mm)", 210, 297, QPageSize::Millimeter},
    {"A5 (148x210 mm)", 148, 210, QPageSize::Millimeter},
    {"B4 (250x354 mm)", 250, 354, QPageSize::Millimeter},
    {"B5 (182x257 mm)", 182, 257, QPageSize::Millimeter},
    {"Quarto (215x275 mm)", 215, 275, QPageSize::Millimeter},
};

int32_t ToTwips(double value, QPageSize::Unit unit) {
    double inches = unit == QPageSize::Inch ? value : value / 25.4;
    return static_cast<int32_t>(std::lround(inches * 1440.0));
}

} // namespace

bool ValidCode(int16_t code) {
    return code >= 1 && code <= Count;
}

const Paper& OfCode(int16_t code) {
    return kPapers[ValidCode(code) ? code - 1 : 0];
}

int32_t WidthTwips(int16_t code, bool landscape) {
    const Paper& p = OfCode(code);
    return ToTwips(landscape ? p.height : p.width, p.unit);
}

int32_t HeightTwips(int16_t code, bool landscape) {
    const Paper& p = OfCode(code);
    return ToTwips(landscape ? p.width : p.height, p.unit);
}

QPageSize PageSize(int16_t code) {
    const Paper& p = OfCode(code);
    // Exact: Qt's own Executive and Folio differ from these, and a near match must not
    // replace the size the user chose.
    QString name = QString::fromLatin1(p.caption).section(QLatin1Char(' '), 0, 0);
    return QPageSize(QSizeF(p.width, p.height), p.unit, name, QPageSize::ExactMatch);
}

} // namespace PaperSize
