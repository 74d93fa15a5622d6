#pragma once

#include <QWidget>

class QLabel;

// The "Параметры 102" page.
class TFrameSet102 : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameSet102(QWidget *parent = nullptr);

    // Prepares the page once, right after the main window created it.
    void Init();

private:
    QLabel *Label1;
};
