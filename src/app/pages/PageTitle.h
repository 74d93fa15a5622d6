#pragma once

class QLabel;
class QWidget;

// The bold title at the top right of a parameter page.
QLabel *AddPageTitle(QWidget *page);
