#include "ui/ColumnFitter.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

ColumnFitter::ColumnFitter(QTableView *view, int column, int minimumWidth, LeastWidth leastWidth)
    : QObject(view)
    , m_view(view)
    , m_column(column)
    , m_minimumWidth(minimumWidth)
    , m_least(std::move(leastWidth))
    , m_viewport(view->viewport())
{
    const QHeaderView *header = view->horizontalHeader();
    for (int col = 0; col < header->count(); ++col)
        if (col != m_column)
            m_own.insert(col, header->sectionSize(col));
    m_viewport->installEventFilter(this);
    connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section, int, int size) {
        if (m_fitting || section == m_column)
            return;
        m_own.insert(section, size); // the user's width from now on
        fit();
    });
    fit();
}

int ColumnFitter::WidestColumn(const QTableView &view)
{
    int widest = -1;
    const QHeaderView *header = view.horizontalHeader();
    for (int col = 0; col < header->count(); ++col)
        if (!header->isSectionHidden(col) && (widest < 0 || header->sectionSize(col) > header->sectionSize(widest)))
            widest = col;
    return widest;
}

QHash<int, int> ColumnFitter::OtherWidths(int room) const
{
    const QHeaderView *header = m_view->horizontalHeader();
    QHash<int, int> widths;
    int own = 0;
    int spare = 0; // beyond the least widths
    for (auto it = m_own.cbegin(); it != m_own.cend(); ++it) {
        if (header->isSectionHidden(it.key()))
            continue;
        widths.insert(it.key(), it.value());
        own += it.value();
        if (m_least)
            spare += qMax(0, it.value() - m_least(it.key()));
    }
    const int lacking = own + m_minimumWidth - room;
    if (lacking <= 0 || spare <= 0)
        return widths;
    // Each gives up the same share of what it has to spare, rounded up, so
    // that together they give up at least what is lacking.
    const double keep = 1.0 - qMin(1.0, double(lacking) / spare);
    for (auto it = widths.begin(); it != widths.end(); ++it) {
        const int least = m_least(it.key());
        if (it.value() > least)
            it.value() = least + int((it.value() - least) * keep);
    }
    return widths;
}

void ColumnFitter::fit()
{
    const QHeaderView *header = m_view->horizontalHeader();
    // A hidden view's viewport has no size of its own yet (a page not shown).
    if (m_column < 0 || m_column >= header->count() || header->isSectionHidden(m_column) || !m_view->isVisible())
        return;
    const int room = m_view->viewport()->width();
    const QHash<int, int> others = OtherWidths(room);
    int taken = 0;
    m_fitting = true;
    for (auto it = others.cbegin(); it != others.cend(); ++it) {
        if (header->sectionSize(it.key()) != it.value())
            m_view->setColumnWidth(it.key(), it.value());
        taken += it.value();
    }
    const int width = qMax(m_minimumWidth, room - taken);
    if (width != header->sectionSize(m_column))
        m_view->setColumnWidth(m_column, width);
    m_fitting = false;
}

int ColumnFitter::ownWidth(int column) const
{
    return m_own.value(column, m_view->columnWidth(column));
}

bool ColumnFitter::eventFilter(QObject *watched, QEvent *event)
{
    // The viewport is compared as it was: while the view is being destroyed
    // its events still come here, and the view is no view any more.
    if (watched == m_viewport && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        fit();
    return QObject::eventFilter(watched, event);
}
