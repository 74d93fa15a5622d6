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
