#pragma once

#include <QColor>

class QWidget;

// Small helpers for the hand-drawn look of the version and wait boxes.
namespace BoxLook {
inline const QColor kNavy { 0, 0, 128 };
} // namespace BoxLook

void SetBackground(QWidget *widget, const QColor &colour);
void SetTextColour(QWidget *widget, const QColor &colour);
void SetFontPixels(QWidget *widget, int pixels, bool bold);
