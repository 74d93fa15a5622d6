#include "ui/ColumnFitter.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

ColumnFitter::ColumnFitter(QTableView *view, int column, int minimumWidth)
    : QObject(view)
    , m_view(view)
    , m_column(column)
    , m_minimumWidth(minimumWidth)
    , m_viewport(view->viewport())
{
    m_viewport->installEventFilter(this);
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
    // The viewport is compared as it was: while the view is being destroyed
    // its events still come here, and the view is no view any more.
    if (watched == m_viewport && event->type() == QEvent::Resize)
        fit();
    return QObject::eventFilter(watched, event);
}
