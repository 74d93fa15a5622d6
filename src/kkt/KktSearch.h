#pragma once

#include "kkt/SerialLink.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

// One try of a search: a port at a speed, the n-th of all.
struct KktSearchStep
{
    QString port;
    quint32 speed = 0;
    int index = 0; // from 0
    int total = 0;
};

struct KktSearchResult
{
    bool found = false;
    bool cancelled = false;
    QString port;
    quint32 speed = 0;
    int tries = 0;
};

// Finds the register: the link check on every port at every speed, 115200
// first (the speed of most registers now), then the others in the order of
// the connection dialog's list. Each try waits only as long as the request
// and the answer take on the line at that speed and a short while more, so
// that a search over eight silent ports ends within seconds. The speeds are
// the outer loop: a register at 115200 is found in the first round, however
// many silent ports come first.
//
// The search owns a link of its own (not the program's channel) and logs
// nothing: it runs on a worker thread and can be cancelled between two tries.
class KktSearch
{
public:
    using LinkMaker = std::function<std::unique_ptr<SerialLink>()>;

    // How long a register may take beyond the line time of a link check.
    static constexpr quint32 kDefaultWaitMs = 50;

    explicit KktSearch(LinkMaker makeLink);

    // The speeds of the connection dialog, and the order they are tried in.
    static QList<quint32> Speeds();
    static QList<quint32> SpeedOrder();
    // The total read time-out of one try at the speed.
    static quint32 TimeOutMs(quint32 speed, quint32 waitMs = kDefaultWaitMs);

    void setWaitMs(quint32 ms) { m_waitMs = ms; }

    // Tries the ports with the KKT number until one answers or cancel turns
    // true (checked before every try); progress hears of each try before it runs.
    KktSearchResult run(const QStringList &ports, qint32 numKkt, const std::atomic_bool &cancel,
        const std::function<void(const KktSearchStep &)> &progress = {}) const;

private:
    LinkMaker m_makeLink;
    quint32 m_waitMs = kDefaultWaitMs;
};
