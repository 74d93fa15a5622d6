#pragma once

#include <QColor>

// Colours chosen by the program (the log's red and green, the warnings' dark
// red) are drawn on the user's palette, which may be dark. They are kept
// readable by the WCAG rule for normal text: a contrast of at least 4.5:1.
namespace Contrast {
constexpr double kNormalText = 4.5;

// The WCAG contrast ratio of two opaque colours, 1 to 21.
double Ratio(const QColor &a, const QColor &b);

// The wanted colour when it reads well enough on the background; otherwise
// the nearest shade of it, darker on a light background and lighter on a
// dark one, that does.
QColor ReadableOn(const QColor &wanted, const QColor &background, double ratio = kNormalText);
} // namespace Contrast
