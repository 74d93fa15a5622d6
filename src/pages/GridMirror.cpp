#include "pages/GridMirror.h"

#include <QList>
#include <QMetaObject>

GridMirror::GridMirror(StringGridModel &original)
    : m_original(&original)
    , m_copy(original.rows(), original.cols())
{
    m_copy.copyCellsFrom(original);
    // Direct: it runs in the thread that changed the copy and takes the texts
    // there; only the texts travel.
    QObject::connect(
        &m_copy, &StringGridModel::dataChanged, [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
            Post(topLeft.row(), topLeft.column(), bottomRight.row(), bottomRight.column());
        });
}

void GridMirror::Post(int top, int left, int bottom, int right)
{
    QList<QString> texts;
    texts.reserve((bottom - top + 1) * (right - left + 1));
    for (int row = top; row <= bottom; ++row)
        for (int col = left; col <= right; ++col)
            texts << m_copy.cell(row, col);
    StringGridModel *original = m_original;
    QMetaObject::invokeMethod(
        original,
        [original, texts, top, left, bottom, right] {
            const GridBulkUpdate bulk(*original);
            qsizetype at = 0;
            for (int row = top; row <= bottom; ++row)
                for (int col = left; col <= right; ++col)
                    original->setCell(row, col, texts[at++]);
        },
        Qt::QueuedConnection);
}
