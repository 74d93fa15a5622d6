#pragma once

#include "config/Config.h"
#include "config/RecoveryStore.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <future>
#include <memory>
#include <optional>

class QLockFile;
class QWidget;

// The copy of the unsaved configuration that lets the next start bring back
// edits a crash, a kill or a logout would have lost. Made a few seconds after
// a change (at most that long after the first of many), from a snapshot taken
// on the window's thread and written on a thread of its own, so that typing
// never waits for the disk. A normal close or a save removes it.
//
// Several windows may run at once (each its own program): each takes the
// first free of a few slots of the folder, locked while it runs, and a slot
// whose program ended without removing its copy offers that copy at the next
// start that takes the slot.
class TRecoveryCopy : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDelayMs = 3000;
    static constexpr int kSlots = 8;

    explicit TRecoveryCopy(const QString &folder, QObject *parent = nullptr);
    ~TRecoveryCopy() override; // a write under way ends first; the copy stays

    // How a copy is made: the configuration the grids hold, and the
    // configuration file the window shows.
    void setSource(std::function<void(TConfig &)> fill, std::function<QString()> file);
    void setDelay(int ms) { m_timer.setInterval(ms); }

    // False when no slot could be had (the folder cannot be made, every slot in use).
    bool active() const { return m_store.has_value(); }
    QString configPath() const;

    // The grids or the file changed; clean: nothing is unsaved, the copy goes.
    void changed(bool clean);
    // The copy made now, and written when this returns (the session ends).
    void writeNow();
    // Nothing is unsaved any more (saved, or the user closed without saving): the copy goes.
    void discard();

    // The copy an earlier run left in this slot, offered with the time it was
    // made. Yes: the copy's configuration and record (the copy stays until
    // the next save or close). No: set aside as <slot>-declined (replacing an
    // earlier one), so that a wrong answer loses nothing. A damaged copy is
    // set aside as <slot>-damaged with a message.
    struct Found
    {
        std::unique_ptr<TConfig> config;
        RecoveryRecord record;
    };
    std::optional<Found> offer(QWidget *parent);

    // The question's text for a copy made at savedAt (the date only when not today).
    static QString QuestionText(const QDateTime &savedAt);

signals:
    // A copy was written, or failed (error says why).
    void written(bool ok, const QString &error);

private:
    struct Job
    {
        bool ok = false;
        QString error;
    };
    void start();
    void finished();
    // The write under way, if any, ended and its result told.
    void settle();
    std::shared_ptr<const TConfig> snapshot() const;

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    std::optional<RecoveryStore> m_store;
    std::function<void(TConfig &)> m_fill;
    std::function<QString()> m_file;
    QTimer m_timer;
    std::future<Job> m_running;
    bool m_again = false; // changed while a copy was being written
};
