#include "app/pages/RunPanel.h"

#include "pages/RunTypes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
constexpr qint64 kTextGapMs = 200;
} // namespace

TRunPanel::TRunPanel(QWidget *parent)
    : QWidget(parent)
    , ProgressBar1(new QProgressBar(this))
    , m_rows(new QLabel(this))
    , m_stop(new QPushButton(u"Стоп"_s, this))
    , m_resume(new QPushButton(this))
    , m_done(new QLabel(this))
{
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setRange(0, 100);
    // Up to 300 points in the usual font (more in a larger one), less where the row is short of room.
    const int letter = ProgressBar1->fontMetrics().averageCharWidth();
    ProgressBar1->setMinimumWidth(letter * 12);
    ProgressBar1->setMaximumWidth(qMax(300, letter * 40));
    m_rows->setObjectName(u"lblRunRows"_s);
    // As wide as the longest text, so that a new text never moves the buttons.
    m_rows->setFixedWidth(m_rows->fontMetrics().horizontalAdvance(u"6000 из 6000, осталось 00:00:00"_s) + 8);
    m_stop->setObjectName(u"btnStopRun"_s);
    m_stop->setToolTip(u"Остановить обмен после текущего запроса"_s);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_stopRequested = true;
        m_stop->setEnabled(false);
        emit stopClicked();
    });
    m_resume->setObjectName(u"btnResumeRun"_s);
    m_resume->hide();
    m_done->setObjectName(u"lblRunDone"_s);
    QFont bold = m_done->font();
    bold.setBold(true);
    m_done->setFont(bold);
    m_done->hide();
    connect(m_resume, &QPushButton::clicked, this, &TRunPanel::resumeClicked);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(ProgressBar1, 1);
    row->addWidget(m_rows);
    row->addWidget(m_stop);
    row->addWidget(m_resume);
    row->addWidget(m_done);
    hide();
}

void TRunPanel::start(int totalRows)
{
    m_totalRows = totalRows;
    m_stopRequested = false;
    m_stop->setEnabled(true);
    m_shownAt = -1;
    m_pausedMs = 0;
    m_pausedAt = -1;
    m_clock.start();
    m_resume->hide();
    m_done->hide();
    for (QWidget *part :
        { static_cast<QWidget *>(ProgressBar1), static_cast<QWidget *>(m_rows), static_cast<QWidget *>(m_stop) })
        part->show();
    show();
    ProgressBar1->setValue(0);
    showRows(0);
}

void TRunPanel::progress(int percent, int rowsDone)
{
    showRows(rowsDone);
    ProgressBar1->setValue(percent);
}

void TRunPanel::finish()
{
    m_resume->hide();
    m_done->hide();
    hide();
}

void TRunPanel::showDone(const QString &text)
{
    ProgressBar1->hide();
    m_rows->hide();
    m_stop->hide();
    m_resume->hide();
    m_done->setText(text);
    m_done->show();
    show();
}

bool TRunPanel::showsDone() const
{
    return !isHidden() && !m_done->isHidden();
}

void TRunPanel::offerResume(const QString &where)
{
    // The run is over: its bar goes, as after any run.
    ProgressBar1->hide();
    m_rows->hide();
    m_stop->hide();
    m_done->hide();
    m_resume->setText(u"Продолжить с "_s + where);
    m_resume->show();
    show();
}

void TRunPanel::setPaused(bool paused)
{
    if (paused && m_pausedAt < 0) {
        m_pausedAt = m_clock.elapsed();
    } else if (!paused && m_pausedAt >= 0) {
        m_pausedMs += m_clock.elapsed() - m_pausedAt;
        m_pausedAt = -1;
    }
}

qint64 TRunPanel::workedMs() const
{
    const qint64 now = m_clock.elapsed();
    return now - m_pausedMs - (m_pausedAt >= 0 ? now - m_pausedAt : 0);
}

void TRunPanel::showRows(int rowsDone)
{
    // A label that changes its text asks for a new layout and a repaint: a few
    // times a second is what a person reads, and it keeps a 6000-row run as
    // fast as one that shows nothing.
    const qint64 now = m_clock.elapsed();
    const bool edge = rowsDone == 0 || rowsDone >= m_totalRows;
    if (!edge && m_shownAt >= 0 && now - m_shownAt < kTextGapMs)
        return;
    m_shownAt = now;
    QString text = u"%1 из %2"_s.arg(rowsDone).arg(m_totalRows);
    if (rowsDone > 0)
        text += u", осталось "_s + DurationText(SecondsLeft(rowsDone, m_totalRows, workedMs()));
    m_rows->setText(text);
}
