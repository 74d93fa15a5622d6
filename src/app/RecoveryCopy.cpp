#include "app/RecoveryCopy.h"

#include "ui/Prompts.h"

#include <QDir>
#include <QLockFile>

using namespace Qt::StringLiterals;

namespace {
QString SlotName(int slot)
{
    return u"unsaved-%1"_s.arg(slot);
}
} // namespace

TRecoveryCopy::TRecoveryCopy(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &TRecoveryCopy::start);
    if (!QDir().mkpath(folder))
        return;
    for (int slot = 1; slot <= kSlots; ++slot) {
        auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(SlotName(slot) + u".lock"_s));
        // Held as long as the program runs: only a lock whose program is gone is stale.
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            m_lock = std::move(lock);
            m_store.emplace(folder, SlotName(slot));
            return;
        }
    }
}

TRecoveryCopy::~TRecoveryCopy()
{
    if (m_running.valid())
        m_running.wait();
}

void TRecoveryCopy::setSource(std::function<void(TConfig &)> fill, std::function<QString()> file)
{
    m_fill = std::move(fill);
    m_file = std::move(file);
}

QString TRecoveryCopy::configPath() const
{
    return m_store ? m_store->configPath() : QString();
}

void TRecoveryCopy::changed(bool clean)
{
    if (!m_store)
        return;
    if (clean) {
        discard();
        return;
    }
    // Not put off by every key: a copy at most the delay after the first change.
    if (!m_timer.isActive())
        m_timer.start();
}

std::shared_ptr<const TConfig> TRecoveryCopy::snapshot() const
{
    auto config = std::make_shared<TConfig>();
    if (m_fill)
        m_fill(*config);
    return config;
}

void TRecoveryCopy::start()
{
    if (!m_store || !m_fill)
        return;
    if (m_running.valid()) {
        m_again = true; // once this one is written
        return;
    }
    const RecoveryStore store = *m_store;
    const RecoveryRecord record { m_file ? m_file() : QString(), QDateTime::currentDateTime() };
    m_running = std::async(std::launch::async, [this, store, record, config = snapshot()] {
        Job job;
        job.ok = store.write(*config, record, &job.error);
        QMetaObject::invokeMethod(this, &TRecoveryCopy::finished, Qt::QueuedConnection);
        return job;
    });
}

void TRecoveryCopy::finished()
{
    if (!m_running.valid())
        return; // settled already
    settle();
    if (std::exchange(m_again, false))
        start();
}

void TRecoveryCopy::settle()
{
    if (!m_running.valid())
        return;
    const Job job = m_running.get();
    emit written(job.ok, job.error);
}

void TRecoveryCopy::writeNow()
{
    m_timer.stop();
    m_again = false;
    settle();
    if (!m_store || !m_fill)
        return;
    Job job;
    job.ok = m_store->write(*snapshot(), { m_file ? m_file() : QString(), QDateTime::currentDateTime() }, &job.error);
    emit written(job.ok, job.error);
}

void TRecoveryCopy::discard()
{
    m_timer.stop();
    m_again = false;
    settle();
    if (m_store)
        m_store->remove();
}

QString TRecoveryCopy::QuestionText(const QDateTime &savedAt)
{
    const bool today = savedAt.date() == QDate::currentDate();
    return u"Восстановить несохранённые изменения от %1?"_s.arg(
        savedAt.toString(today ? u"HH:mm"_s : u"dd.MM.yyyy HH:mm"_s));
}

std::optional<TRecoveryCopy::Found> TRecoveryCopy::offer(QWidget *parent)
{
    if (!m_store || !m_store->exists())
        return std::nullopt;
    Found found { std::make_unique<TConfig>(), {} };
    QString error;
    if (!m_store->read(*found.config, found.record, &error)) {
        const QString aside = m_store->moveAside(u"-damaged"_s);
        QString text = u"ВНИМАНИЕ!\r\nКопия несохранённых изменений повреждена и не восстановлена.\r\n"_s + error;
        if (!aside.isEmpty())
            text += u"\r\nОна отложена в файл %1."_s.arg(QDir::toNativeSeparators(aside));
        Prompts::instance().information(parent, text);
        return std::nullopt;
    }
    if (!Prompts::instance().question(parent, QuestionText(found.record.savedAt))) {
        m_store->moveAside(u"-declined"_s);
        return std::nullopt;
    }
    return found;
}
