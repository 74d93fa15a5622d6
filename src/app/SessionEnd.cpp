#include "app/SessionEnd.h"

#include <QGuiApplication>
#include <QSocketNotifier>
#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>
#endif

namespace {
#ifdef Q_OS_UNIX
constexpr int kSignals[] = { SIGTERM, SIGHUP, SIGINT };
int g_pipe[2] = { -1, -1 };
struct sigaction g_previous[std::size(kSignals)];

extern "C" void OnEndSignal(int)
{
    const char byte = 1;
    // Async-signal-safe; a full pipe holds a request already.
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}
#endif
} // namespace

TSessionEnd::TSessionEnd(QObject *parent)
    : QObject(parent)
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
#ifndef QT_NO_SESSIONMANAGER
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &) { emit saveRequested(); });
#endif
        connect(app, &QCoreApplication::aboutToQuit, this, &TSessionEnd::saveRequested);
    }
#ifdef Q_OS_UNIX
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TSessionEnd::readSignals);
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
#endif
}

TSessionEnd::~TSessionEnd()
{
#ifdef Q_OS_UNIX
    if (!m_notifier)
        return;
    for (size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
#endif
}

void TSessionEnd::readSignals()
{
#ifdef Q_OS_UNIX
    char bytes[16];
    bool any = false;
    while (::read(g_pipe[0], bytes, sizeof bytes) > 0)
        any = true;
    if (any)
        emit endRequested();
#endif
}
