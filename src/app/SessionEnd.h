#pragma once

#include <QObject>

class QSocketNotifier;

// The ways the program is ended other than by closing its window: a signal
// (SIGTERM from a kill or a shutdown, SIGHUP from a closed terminal or a
// logout, SIGINT from Ctrl+C) and the desktop session's end. Nobody is there
// to answer a question then: what must outlive the program is kept at once.
// On Unix a signal reaches the event loop through a pipe its handler writes
// one byte into; nothing else runs in the handler. One watches per process;
// a second one made meanwhile watches only the session's end.
class TSessionEnd : public QObject
{
    Q_OBJECT
public:
    explicit TSessionEnd(QObject *parent = nullptr);
    ~TSessionEnd() override;

    bool watchesSignals() const { return m_notifier != nullptr; }

signals:
    // A signal asks the program to end: keep what must survive, end without a question.
    void endRequested();
    // The desktop session ends or the application quits: keep what must
    // survive now, the program may be gone a moment later.
    void saveRequested();

private:
    void readSignals();

    QSocketNotifier *m_notifier = nullptr;
};
