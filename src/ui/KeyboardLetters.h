#pragma once

class QWidget;

// Gives every entry of a menu (or of a menu bar) and of its submenus a
// keyboard letter: the first letter of a word of its caption that no entry
// before it took, else any letter of it not taken. Captions that have one
// keep it. Run once every menu is there.
void AddKeyboardLetters(QWidget *menu);
