#include "ui/MarkLook.h"

#include <QPalette>

namespace {
// `share` of `tint` over the palette's base, as a pale tone of the tint.
QColor Tinted(const QPalette &palette, QPalette::ColorRole tint, double share)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor over = palette.color(tint);
    return QColor::fromRgbF(float(base.redF() * (1 - share) + over.redF() * share),
        float(base.greenF() * (1 - share) + over.greenF() * share),
        float(base.blueF() * (1 - share) + over.blueF() * share));
}
} // namespace

QColor MarkColour(MarkKind kind, const QPalette &palette)
{
    switch (kind) {
    case MarkKind::Adjusted: // a note to look at: the tool tips' own colour
        return palette.color(QPalette::ToolTipBase);
    case MarkKind::Duplicate: // a conflict with another row
        return Tinted(palette, QPalette::LinkVisited, 0.3);
    case MarkKind::Stored: // data that a write would change: a warning's orange
        return palette.color(QPalette::Base).lightness() > 128 ? QColor(255, 214, 153) : QColor(120, 72, 0);
    case MarkKind::Differs: // the register holds something else: the link colour, as a pointer to look at
        return Tinted(palette, QPalette::Link, 0.3);
    }
    return palette.color(QPalette::Base);
}
