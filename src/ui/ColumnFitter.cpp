#include "ui/ColumnFitter.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

ColumnFitter::ColumnFitter(QTableView *view, int column, int minimumWidth)
    : QObject(view)
    , m_view(view)
    , m_column(column)
    , m_minimumWidth(minimumWidth)
{
    view->viewport()->installEventFilter(this);
    connect(view->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section) {
        if (!m_fitting && section != m_column)
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

void ColumnFitter::fit()
{
    const QHeaderView *header = m_view->horizontalHeader();
    if (m_column < 0 || m_column >= header->count() || header->isSectionHidden(m_column))
        return;
    int others = 0;
    for (int col = 0; col < header->count(); ++col)
        if (col != m_column && !header->isSectionHidden(col))
            others += header->sectionSize(col);
    const int width = qMax(m_minimumWidth, m_view->viewport()->width() - others);
    if (width == header->sectionSize(m_column))
        return;
    m_fitting = true;
    m_view->setColumnWidth(m_column, width);
    m_fitting = false;
}

bool ColumnFitter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::Resize)
        fit();
    return QObject::eventFilter(watched, event);
}
