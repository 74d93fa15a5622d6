#pragma once

// SIGINT, SIGTERM and SIGHUP turned into a readable descriptor (a self-pipe),
// so the serving loop can wait on the terminal and on a stop request at once
// and shut down cleanly. SIGPIPE is ignored. One instance per process.
class ShutdownSignals
{
public:
    ShutdownSignals();
    ~ShutdownSignals();
    ShutdownSignals(const ShutdownSignals &) = delete;
    ShutdownSignals &operator=(const ShutdownSignals &) = delete;

    bool ok() const { return m_readFd >= 0; }
    // Readable once a stop signal arrived.
    int fd() const { return m_readFd; }

private:
    int m_readFd = -1;
};
