#pragma once

class QLabel;
class QWidget;

enum class TitleFace { Sans, Serif };

// The bold title at the top right of a parameter page.
QLabel *AddPageTitle(QWidget *page, TitleFace face = TitleFace::Sans);
