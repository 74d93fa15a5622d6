#pragma once

#include <QString>

#include <optional>

class QKeyEvent;

// The text a key press types, for the typing rules: printable characters, and
// Backspace. Nothing for navigation and editing keys, shortcuts (paste
// included) and the view's control keys (Tab, Enter, Escape).
std::optional<QString> TypedText(const QKeyEvent &key);
