#include "app/ScreenFit.h"

#include <QScreen>
#include <QWidget>

namespace {
// A window manager's frame is known only once the window is shown there;
// until then a usual title bar and border are assumed.
QMargins FrameMargins(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    const QMargins actual(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
        frame.bottom() - inner.bottom());
    const QMargins assumed(4, 32, 4, 4);
    return QMargins(qMax(actual.left(), assumed.left()), qMax(actual.top(), assumed.top()),
        qMax(actual.right(), assumed.right()), qMax(actual.bottom(), assumed.bottom()));
}
} // namespace

void FitToScreen(QWidget *window, const QSize &designedMinimum)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QMargins frame = FrameMargins(window);
    const QSize room = available.marginsRemoved(frame).size();
    window->setMinimumSize(designedMinimum.boundedTo(room));
    if (window->isMaximized() || window->isFullScreen())
        return; // the window manager places those
    const QSize size = window->size().boundedTo(room);
    if (size != window->size())
        window->resize(size);
    // The frame back on the screen, its top-left corner first.
    QRect placed(window->geometry().topLeft(), size);
    placed = placed.marginsAdded(frame);
    if (placed.right() > available.right())
        placed.moveRight(available.right());
    if (placed.bottom() > available.bottom())
        placed.moveBottom(available.bottom());
    if (placed.left() < available.left())
        placed.moveLeft(available.left());
    if (placed.top() < available.top())
        placed.moveTop(available.top());
    // A top-level window's position is that of its frame.
    window->move(placed.topLeft());
}
