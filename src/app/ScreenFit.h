#pragma once

#include <QSize>

class QWidget;

// Keeps a top-level window usable on the screen it is on: its minimum size no
// larger than the room there (at a scale factor of 2 a 1920 x 1080 screen has
// 960 x 540 points), its size within that room and its frame on the screen,
// so that the menu bar is never above the top edge nor the status bar below
// the bottom one. The designed minimum holds wherever the room allows it.
void FitToScreen(QWidget *window, const QSize &designedMinimum);
