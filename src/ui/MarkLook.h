#pragma once

#include "pages/StringGridModel.h"

#include <QColor>

class QPalette;

// The background of a cell with a mark of this kind: a colour of the palette,
// so that marks follow the desktop's theme and stay apart from the selection.
QColor MarkColour(MarkKind kind, const QPalette &palette);
