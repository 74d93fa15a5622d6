#include "app/pages/RunPanel.h"

#include "pages/RunTypes.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
// The time left jumps about with every request; a few updates a second are enough to read.
constexpr qint64 kLeftGapMs = 250;
} // namespace

TRunPanel::TRunPanel(QWidget *parent)
    : QWidget(parent)
    , ProgressBar1(new QProgressBar(this))
    , m_rows(new QLabel(this))
    , m_stop(new QPushButton(u"Стоп"_s, this))
{
    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setFixedWidth(300);
    m_rows->setObjectName(u"lblRunRows"_s);
    m_stop->setObjectName(u"btnStopRun"_s);
    m_stop->setToolTip(u"Остановить обмен после текущего запроса"_s);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        m_stopRequested = true;
        m_stop->setEnabled(false);
    });
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(ProgressBar1);
    row->addWidget(m_rows);
    row->addWidget(m_stop);
    hide();
}

void TRunPanel::start(int totalRows)
{
    m_totalRows = totalRows;
    m_stopRequested = false;
    m_stop->setEnabled(true);
    m_leftAt = -1;
    m_clock.start();
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
    hide();
}

void TRunPanel::showRows(int rowsDone)
{
    const qint64 now = m_clock.elapsed();
    if (rowsDone == 0) {
        m_left.clear();
    } else if (rowsDone >= m_totalRows || m_leftAt < 0 || now - m_leftAt >= kLeftGapMs) {
        m_left = u", осталось "_s + DurationText(SecondsLeft(rowsDone, m_totalRows, now));
        m_leftAt = now;
    }
    m_rows->setText(u"%1 из %2"_s.arg(rowsDone).arg(m_totalRows) + m_left);
}
