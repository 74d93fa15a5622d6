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
    }
    return palette.color(QPalette::Base);
}
