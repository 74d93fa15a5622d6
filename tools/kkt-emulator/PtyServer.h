#pragma once

#include "PseudoTerminal.h"
#include "emulator/FrameSplitter.h"

#include <QByteArray>
#include <QString>

class KktDevice;

// Serves a KktDevice on a pseudo-terminal in raw mode: requests are cut from
// the byte stream by their header, answered by the device, and written back,
// after the device's delay and, when asked, at the line rate of the speed the
// client set. The terminal is published as a symbolic link while serving.
class PtyServer
{
public:
    explicit PtyServer(KktDevice &device)
        : m_device(device)
    { }
    PtyServer(const PtyServer &) = delete;
    PtyServer &operator=(const PtyServer &) = delete;

    // Opens the terminal and publishes it at linkPath, whose folder must exist.
    // An existing entry there is replaced only when it is a link to nothing
    // (one an emulator left behind). False with a message in `error` when
    // either fails; linkRefused() tells a refused path apart.
    bool start(const QString &linkPath, QString &error);
    bool linkRefused() const { return m_terminal.linkRefused(); }
    QString terminalPath() const { return m_terminal.terminalPath(); }
    QString linkPath() const { return m_terminal.linkPath(); }

    // Serves until stopFd becomes readable. False with a message on a terminal failure.
    bool run(int stopFd, QString &error);

private:
    void readRequests();
    // Answers every whole frame the splitter holds.
    void answerFrames();
    void answer(const QByteArray &frame);
    // Sleeps until the monotonic time `until`; false when a stop request came first.
    bool waitUntil(qint64 untilNs);
    void send(const QByteArray &bytes, qint64 lineStartNs, qint64 byteNs);
    // Waits a little for room in a full terminal; false when none came or the terminal failed.
    bool waitForRoom();
    // How long poll may wait: the partial frame's give-up, the check for a gone client.
    int pollTimeOutMs() const;
    void releaseExclusiveUseOfGoneClient();

    KktDevice &m_device;
    FrameSplitter m_splitter;
    PseudoTerminal m_terminal;
    int m_master = -1;
    int m_slave = -1; // where the client's line settings are read
    int m_stopFd = -1;
    bool m_stopping = false;
    qint64 m_frameStartNs = 0; // when the first byte of the pending frame arrived, on MonotonicNs()
};
