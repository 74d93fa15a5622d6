#pragma once

#include <QColor>

class QWidget;

// Small helpers for the hand-drawn look of the version and wait boxes.
namespace BoxLook {
inline const QColor kNavy { 0, 0, 128 };
inline const QColor kText { 0, 0, 0 };
} // namespace BoxLook

// A fixed background, with the boxes' fixed text colour for everything on it.
void SetBackground(QWidget *widget, const QColor &colour);
void SetTextColour(QWidget *widget, const QColor &colour);
void SetFontPixels(QWidget *widget, int pixels, bool bold);
