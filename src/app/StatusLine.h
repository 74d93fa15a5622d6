#pragma once

#include "config/ProgSett.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;

// What the program last learnt of the link: nothing yet, an answer at a
// time, or a failure; for the port, speed and number it was checked with.
struct TLinkState
{
    enum class Kind { Unchecked, Up, Failed };
    Kind kind = Kind::Unchecked;
    QString port;
    quint32 speed = 0;
    qint32 numKkt = 0;
    QDateTime at;

    // The state as it concerns the settings now in force: a check made with
    // other values says nothing about them.
    Kind kindFor(const TStructSetting &settings) const;
};

// The status bar of the main window: where the program is connected, how the
// link stands, which configuration file is loaded, and the last word of a run
// (what it did, or why a command waits for it).
class TStatusLine : public QObject
{
    Q_OBJECT
public:
    explicit TStatusLine(QStatusBar *bar);

    void show(const TStructSetting &settings, const TLinkState &link, const QString &configFile);
    void note(const QString &text);

    // The three texts, for the status bar and the tests alike.
    static QString PortText(const TStructSetting &settings);
    static QString LinkText(const TStructSetting &settings, const TLinkState &link);
    static QString FileText(const QString &configFile);

private:
    QLabel *m_port;
    QLabel *m_link;
    QLabel *m_file;
    QLabel *m_note;
};
