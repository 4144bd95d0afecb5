#pragma once

#include <optional>

class QWidget;

// Window geometry is kept in twips (1440 per inch). These convert with the logical DPI of the
// widget's screen, so windows keep their proportions on high-DPI screens. A null widget uses the
// primary screen.

inline constexpr double TwipsPerInch = 1440.0;

// Rounded to the nearest pixel; values beyond the int range are clamped.
int TwipsToPixelsX(double twips, const QWidget* widget);
int TwipsToPixelsY(double twips, const QWidget* widget);

// As above, but nothing when the result does not fit an int (or the input is not a number).
std::optional<int> TryTwipsToPixelsX(double twips, const QWidget* widget);
std::optional<int> TryTwipsToPixelsY(double twips, const QWidget* widget);

double PixelsToTwipsX(int pixels, const QWidget* widget);
double PixelsToTwipsY(int pixels, const QWidget* widget);
