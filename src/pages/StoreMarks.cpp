#include "pages/StoreMarks.h"

#include "pages/RegisterView.h"
#include "pages/StringGridModel.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {
QString MarkText(const StoreIssue &issue)
{
    switch (issue.level) {
    case StoreLevel::Refused:
        return u"Строка не будет записана в ККТ: "_s + issue.reason;
    case StoreLevel::Warning:
        if (issue.stored == issue.value) // the register holds the cell as it is
            return issue.reason.left(1).toUpper() + issue.reason.mid(1);
        break;
    default:
        break;
    }
    return u"В ККТ будет «%1»: %2"_s.arg(issue.stored, issue.reason);
}
} // namespace

StoreMarks::StoreMarks(TableKind kind, StringGridModel &grid)
    : QObject(&grid)
    , m_kind(kind)
    , m_grid(grid)
{
    connect(&grid, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) {
            // Marks changing are no new values.
            if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole))
                return;
            refresh(topLeft.row(), bottomRight.row());
        });
    connect(&grid, &QAbstractItemModel::modelReset, this, [this] { refresh(1, m_grid.rows() - 1); });
    refresh(1, grid.rows() - 1);
}

void StoreMarks::refresh(int from, int to)
{
    from = qMax(from, 1);
    to = qMin(to, m_grid.rows() - 1);
    if (from > to)
        return;
    QHash<int, QString> marked; // by row * cols + col
    for (const StoreIssue &issue : StoreIssues(m_kind, m_grid, from, to))
        marked.insert(issue.row * m_grid.cols() + issue.col, MarkText(issue));
    const GridBulkUpdate bulk(m_grid);
    for (int row = from; row <= to; ++row)
        for (int col = 1; col < m_grid.cols(); ++col) {
            const auto found = marked.constFind(row * m_grid.cols() + col);
            if (found != marked.cend())
                m_grid.setMark(row, col, MarkKind::Stored, *found);
            else
                m_grid.clearMark(row, col, MarkKind::Stored);
        }
}

void MarkDifference(StringGridModel &grid, const VerifyDifference &difference)
{
    grid.setMark(difference.row, difference.col, MarkKind::Differs,
        u"Сверка: в ККТ «%1», в программе «%2»"_s.arg(difference.kkt, difference.program));
}
