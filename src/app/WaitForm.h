#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TFormWait;
}

// The wait box shown while a long file operation runs. Modal: the window
// takes no input while it shows. It frees itself when closed.
class TFormWait : public QDialog
{
    Q_OBJECT
public:
    explicit TFormWait(QWidget *parent = nullptr);
    ~TFormWait() override;

    // Shows the box and paints it once the system has put it on the screen:
    // the work that follows may block the event loop.
    void ShowNow();
    // Waits ms milliseconds with the box drawn, events running.
    void Pause(int ms);

private:
    std::unique_ptr<Ui::TFormWait> ui;
};
