#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TFormWait;
}

// The wait box shown while a long file operation runs on the interface
// thread. It frees itself when closed.
class TFormWait : public QDialog
{
    Q_OBJECT
public:
    explicit TFormWait(QWidget *parent = nullptr);
    ~TFormWait() override;

    // Shows the box and paints it at once: the work that follows blocks the event loop.
    void ShowNow();

private:
    std::unique_ptr<Ui::TFormWait> ui;
};
