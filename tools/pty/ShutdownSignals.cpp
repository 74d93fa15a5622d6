#include "ShutdownSignals.h"

#include <csignal>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace {
int g_writeFd = -1;

extern "C" void OnStopSignal(int)
{
    const char byte = 1;
    // Async-signal-safe; a full pipe already holds a stop request.
    [[maybe_unused]] const ssize_t n = ::write(g_writeFd, &byte, 1);
}
} // namespace

ShutdownSignals::ShutdownSignals()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_readFd = fds[0];
    g_writeFd = fds[1];
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : { SIGINT, SIGTERM, SIGHUP })
        ::sigaction(sig, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

ShutdownSignals::~ShutdownSignals()
{
    for (int sig : { SIGINT, SIGTERM, SIGHUP })
        ::signal(sig, SIG_DFL);
    if (m_readFd >= 0) {
        ::close(m_readFd);
        ::close(g_writeFd);
        g_writeFd = -1;
    }
}
