#pragma once

#include <QWidget>

class QLabel;

// The GSM/Wi-Fi parameters page.
class TFrameGsmSetting : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameGsmSetting(QWidget *parent = nullptr);

    // Prepares the page once, right after the main window created it.
    void Init();

private:
    QLabel *Label1;
};
