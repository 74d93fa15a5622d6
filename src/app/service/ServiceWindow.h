#pragma once

#include <QWidget>

// A service window (the exchange log, the scanner trace): fixed size, close
// box only, above the other windows. It lives hidden beside the main window;
// closing it only hides it, and it never keeps the program running.
class ServiceWindow : public QWidget
{
    Q_OBJECT
public:
    ServiceWindow(
        const QString &objectName, const QString &caption, const QSize &clientSize, QWidget *parent = nullptr);
};
