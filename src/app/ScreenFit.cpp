#include "app/ScreenFit.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace {
const QString kWatchName = QStringLiteral("FrameWatch");

bool FrameKnown(const QWidget *window)
{
    return window->frameGeometry() != window->geometry();
}

// A window manager's frame is known only once the window is shown there;
// until then a usual title bar and border are assumed.
QMargins FrameMargins(const QWidget *window)
{
    if (!FrameKnown(window))
        return QMargins(4, 32, 4, 4);
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
        frame.bottom() - inner.bottom());
}

// The window manager adds its frame after the window is shown, and with it
// may move the window (at a scale factor its title bar ended up above the
// screen's edge). Until the frame is known, for a few seconds at most, every
// move and resize of the window places it again; then the watch ends.
class FrameWatch : public QObject
{
public:
    FrameWatch(QWidget *window, const QSize &designedMinimum)
        : QObject(window)
        , m_window(window)
        , m_minimum(designedMinimum)
    {
        setObjectName(kWatchName);
        m_clock.start();
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (watched != m_window || (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Expose))
            return false;
        if (m_clock.elapsed() > 5000) {
            deleteLater();
            return false;
        }
        if (!m_placing && FrameKnown(m_window)) {
            m_placing = true;
            m_window->removeEventFilter(this);
            FitToScreen(m_window, m_minimum);
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
    QSize m_minimum;
    QElapsedTimer m_clock;
    bool m_placing = false;
};
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
    // The frame on the screen, its top-left corner first.
    QRect placed = QRect(window->geometry().topLeft(), size).marginsAdded(frame);
    if (placed.right() > available.right())
        placed.moveRight(available.right());
    if (placed.bottom() > available.bottom())
        placed.moveBottom(available.bottom());
    if (placed.left() < available.left())
        placed.moveLeft(available.left());
    if (placed.top() < available.top())
        placed.moveTop(available.top());
    // Placed by its content, below the frame's margins: a move() of a window
    // whose frame is not there yet would put the content where the frame
    // belongs and the title bar above it.
    const QRect inner = placed.marginsRemoved(frame);
    if (inner != window->geometry())
        window->setGeometry(inner);
    if (window->isVisible() && !FrameKnown(window)
        && !window->findChild<QObject *>(kWatchName, Qt::FindDirectChildrenOnly))
        new FrameWatch(window, designedMinimum);
}
