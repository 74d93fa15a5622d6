#include "app/WaitForm.h"

#include "app/BoxLook.h"

#include "ui_WaitForm.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

namespace {
// How long the box may take to reach the screen before it is painted anyway.
constexpr int kExposeMs = 1000;
} // namespace

TFormWait::TFormWait(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , ui(std::make_unique<Ui::TFormWait>())
{
    ui->setupUi(this);
    setFixedSize(size());
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    SetBackground(this, Qt::white);
    SetFontPixels(ui->Label1, 13, false);
    SetFontPixels(ui->Label2, 13, false);
}

TFormWait::~TFormWait() = default;

void TFormWait::ShowNow()
{
    show();
    // A window that is not on the screen yet paints nothing: its texts would
    // stay blank through the work that follows.
    const QDeadlineTimer deadline(kExposeMs);
    while (windowHandle() && !windowHandle()->isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 10);
    repaint();
}

void TFormWait::Pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
