#include "pages/DuplicateBarcodes.h"

#include "pages/StringGridModel.h"
#include "pages/TableLayout.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace {
constexpr int kRowsNamed = 5; // in one mark; more are "…"

QString Reason(const QList<int> &rows, int self)
{
    QStringList others;
    for (int row : rows) {
        if (row == self)
            continue;
        if (others.size() == kRowsNamed) {
            others << u"…"_s;
            break;
        }
        others << QString::number(row);
    }
    return (others.size() == 1 ? u"Такой же штрих-код в строке "_s : u"Такой же штрих-код в строках "_s)
        + others.join(u", "_s);
}
} // namespace

DuplicateBarcodes::DuplicateBarcodes(StringGridModel &goods)
    : QObject(&goods)
    , m_goods(goods)
{
    connect(&goods, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) {
            // Marks changing are no new barcodes.
            if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole))
                return;
            if (topLeft.column() <= GoodsCol::Barcode && bottomRight.column() >= GoodsCol::Barcode)
                refresh();
        });
    refresh();
}

void DuplicateBarcodes::refresh()
{
    QHash<QString, QList<int>> rowsOf;
    for (int row = 1; row < m_goods.rows(); ++row) {
        const QString code = m_goods.cell(row, GoodsCol::Barcode);
        // "0" is what a read gives an item without a barcode: no code at all.
        if (!code.isEmpty() && code != u"0"_s)
            rowsOf[code].append(row);
    }
    QSet<int> marked;
    const GridBulkUpdate bulk(m_goods);
    for (const QList<int> &rows : std::as_const(rowsOf)) {
        if (rows.size() < 2)
            continue;
        for (int row : rows) {
            m_goods.setMark(row, GoodsCol::Barcode, MarkKind::Duplicate, Reason(rows, row));
            marked.insert(row);
        }
    }
    for (int row : std::as_const(m_marked))
        if (!marked.contains(row))
            m_goods.clearMark(row, GoodsCol::Barcode, MarkKind::Duplicate);
    m_marked = marked;
}
