#include "ProgressReporter.h"

#include "pages/RunTypes.h"

#include <QElapsedTimer>

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 kMinGapMs = 100; // at most ten lines a second
constexpr qint64 kRefreshMs = 1000; // the rate and time left move on even when the percent stays

// Whole percents done, so that 100% means finished (a rounded figure reaches it a step early).
int PercentDone(int done, int total)
{
    return total > 0 ? int(qint64(done) * 100 / total) : 100;
}

ProgressReporter::Clock SteadyClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}
} // namespace

ProgressReporter::ProgressReporter(QTextStream &stream, bool terminal, const QString &action, int total, Clock clock)
    : m_stream(stream)
    , m_terminal(terminal)
    , m_action(action)
    , m_total(total)
    , m_clock(clock ? std::move(clock) : SteadyClock())
    , m_start(m_clock())
{ }

void ProgressReporter::setStage(const QString &stage)
{
    m_stage = stage;
}

void ProgressReporter::update(int done)
{
    const qint64 now = m_clock();
    const int percent = PercentDone(done, m_total);
    const bool last = done >= m_total;
    if (!last && m_lastShown >= 0) {
        const qint64 gap = now - m_lastShown;
        if (gap < kMinGapMs || (percent == m_lastPercent && gap < kRefreshMs))
            return;
    }
    m_lastShown = now;
    m_lastPercent = percent;
    const QString text = line(done, now - m_start);
    if (m_terminal) {
        // Blanks wipe what a longer previous line left behind.
        m_stream << '\r' << text << QString(qMax<qsizetype>(0, m_openLength - text.size()), u' ');
        m_openLength = text.size();
        if (last)
            interrupt();
    } else {
        m_stream << text << '\n';
    }
    m_stream.flush();
}

void ProgressReporter::interrupt()
{
    if (m_openLength == 0)
        return;
    m_stream << '\n';
    m_stream.flush();
    m_openLength = 0;
}

QString ProgressReporter::line(int done, qint64 elapsedMs) const
{
    const double perSecond = done * 1000.0 / double(qMax<qint64>(elapsedMs, 1));
    const qint64 left = SecondsLeft(done, m_total, elapsedMs);
    QString text = u"%1: %2% (%3 из %4), %5/с, осталось %6"_s.arg(m_action)
                       .arg(PercentDone(done, m_total))
                       .arg(done)
                       .arg(m_total)
                       .arg(qRound(perSecond))
                       .arg(TimeText(left));
    if (!m_stage.isEmpty())
        text += u" — "_s + m_stage;
    return text;
}

QString ProgressReporter::TimeText(qint64 seconds)
{
    return DurationText(seconds);
}

bool ProgressReporter::StandardErrorIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}
