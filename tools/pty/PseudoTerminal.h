#pragma once

#include <QString>

// A pseudo-terminal in raw mode that stands for a serial device, published as a
// symbolic link (in the ports folder, say) while it lives. The far end is kept
// open by us too, so the master never sees a hang-up when a client closes the
// port; it is also where the client's line settings are read.
class PseudoTerminal
{
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Opens the terminal (the master non-blocking) and publishes it at
    // linkPath, whose folder must exist. An existing entry there is replaced
    // only when it is a link to nothing (one a tool left behind); a link to a
    // terminal that is there belongs to the program holding it. False with a
    // message in `error` when either fails; linkRefused() tells a refused path apart.
    bool open(const QString &linkPath, QString &error);
    bool linkRefused() const { return m_linkRefused; }
    // Removes the link, if it is still ours.
    void unpublish();

    int master() const { return m_master; }
    int slave() const { return m_slave; }
    QString terminalPath() const { return m_slavePath; }
    QString linkPath() const { return m_linkPath; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_linkPath;
    bool m_linkRefused = false;
};

// The ports folder beside the programs is ours to create when the link goes
// into it; any other folder is the user's business.
void MakeOwnPortsFolder(const QString &linkPath, const QString &portsFolder);

// "what: reason of errno", for the tools' messages.
QString SystemError(const QString &what);
