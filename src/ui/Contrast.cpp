#include "ui/Contrast.h"

#include <cmath>

namespace {
double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

QColor Mix(const QColor &from, const QColor &to, double share)
{
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    auto channel = [share](int x, int y) { return int(std::lround(x + (y - x) * share)); };
    return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}
} // namespace

namespace Contrast {
double Ratio(const QColor &a, const QColor &b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor &wanted, const QColor &background, double ratio)
{
    if (Ratio(wanted, background) >= ratio)
        return wanted;
    // Black on a light background and white on a dark one always read; the
    // shade is the least step towards them that is enough.
    const QColor extreme = Luminance(background) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
    for (int step = 1; step <= 20; ++step) {
        const QColor shade = Mix(wanted, extreme, step / 20.0);
        if (Ratio(shade, background) >= ratio)
            return shade;
    }
    return extreme;
}
} // namespace Contrast
