#include "XlsxSheet.h"

#include "pages/XlsCells.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {
std::optional<QJsonObject> Dump(const QString &path)
{
    QProcess dump;
    dump.start(QStringLiteral(KKT_XLSX_CELLS_PATH), { path });
    if (!dump.waitForFinished(60000) || dump.exitStatus() != QProcess::NormalExit || dump.exitCode() != 0)
        return std::nullopt;
    const QJsonDocument json = QJsonDocument::fromJson(dump.readAllStandardOutput());
    return json.isObject() ? std::optional(json.object()) : std::nullopt;
}
} // namespace

std::optional<XlsxCells> ReadXlsxSheet(const QString &path)
{
    const std::optional<QJsonObject> dump = Dump(path);
    if (!dump)
        return std::nullopt;
    XlsxCells cells;
    const QJsonObject found = dump->value(u"cells"_s).toObject();
    for (auto it = found.begin(); it != found.end(); ++it) {
        const QJsonObject cell = it.value().toObject();
        cells.insert(
            it.key(), { cell.value(u"t"_s).toString(), cell.value(u"v"_s).toString(), cell.value(u"f"_s).toString() });
    }
    return cells;
}

bool XlsxPartsWellFormed(const QString &path)
{
    const std::optional<QJsonObject> dump = Dump(path);
    return dump && dump->value(u"wellFormed"_s).toBool();
}

namespace {
QString ColumnLetters(int column)
{
    return QString(QChar(u'A' + column - 1));
}

QString ShownText(const XlsxCell &cell)
{
    if (cell.type != u"n"_s || !cell.format.startsWith(u"0"_s))
        return cell.text;
    const qsizetype point = cell.format.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(cell.format.size() - point - 1);
    return QString::number(cell.text.toDouble(), 'f', decimals);
}
} // namespace

std::vector<QStringList> ImportRowsOf(const XlsxCells &cells)
{
    int lastRow = 1;
    for (auto it = cells.cbegin(); it != cells.cend(); ++it)
        lastRow = qMax(lastRow, it.key().sliced(1).toInt());
    std::vector<QStringList> rows;
    for (int row = 2; row <= qMin(lastRow, XlsCells::kMaxRows + 1); ++row) {
        QStringList texts;
        for (int column = XlsCells::kFirstColumn; column < XlsCells::kFirstColumn + XlsCells::kColumns; ++column)
            texts << ShownText(cells.value(ColumnLetters(column) + QString::number(row)));
        rows.push_back(texts);
    }
    return rows;
}
