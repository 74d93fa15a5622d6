#pragma once

#include <QWidget>

class QLabel;
class TKktSession;

// The GSM/Wi-Fi parameters page.
class TFrameGsmSetting : public QWidget
{
    Q_OBJECT
public:
    explicit TFrameGsmSetting(QWidget *parent = nullptr);

    // Prepares the page once, right after the main window created it; the
    // session carries the KKT channel and the run guard.
    void Init(TKktSession &session);

private:
    QLabel *Label1;
};
