#include "TableSelection.h"

#include "CliCommand.h"
#include "pages/GsmRun.h"
#include "pages/RangeCheck.h"
#include "pages/TableRun.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kKinds = kTableKindCount;

// "FROM-TO" or "N": the two numbers go through the same check as the page's range fields.
RangeCheck ParseRange(const QString &text)
{
    const int last = MaxRowOf(TableKind::Goods);
    const QString trimmed = text.trimmed();
    const qsizetype dash = trimmed.indexOf(u'-');
    const RangeCheck rows = dash < 0 ? CheckRangeValues(trimmed, trimmed, last)
                                     : CheckRangeValues(trimmed.first(dash), trimmed.sliced(dash + 1), last);
    if (!rows.ok)
        throw UsageError {
            u"--range: ожидается ОТ-ДО или N, целые числа от 1 до %1 и ОТ не больше ДО, а не «%2»"_s.arg(last).arg(text)
        };
    return rows;
}

QList<TableKind> ParseTables(const QString &text)
{
    bool chosen[kKinds] = {};
    for (const QString &part : text.split(u',')) {
        const QString name = part.trimmed().toLower();
        if (name.isEmpty())
            throw UsageError { u"--tables: пустое имя таблицы в «%1»; таблицы: %2"_s.arg(
                text, TableSelection::NamesHelp()) };
        int kind = 0;
        while (kind < kKinds && TableSelection::NameOf(TableKind(kind)) != name)
            ++kind;
        if (kind == kKinds)
            throw UsageError { u"--tables: неизвестная таблица «%1»; таблицы: %2"_s.arg(
                part.trimmed(), TableSelection::NamesHelp()) };
        chosen[kind] = true;
    }
    QList<TableKind> kinds;
    for (int kind = 0; kind < kKinds; ++kind)
        if (chosen[kind])
            kinds << TableKind(kind);
    return kinds;
}
} // namespace

int TableSpan::steps() const
{
    return kind == TableKind::Gsm ? GsmParams::kCount : FieldsPerRow(kind) * (to - from + 1);
}

int TablePlan::steps() const
{
    int sum = 0;
    for (const TableSpan &span : spans)
        sum += span.steps();
    return sum;
}

namespace TableSelection {
QString NameOf(TableKind kind)
{
    static const char16_t *const names[kKinds]
        = { u"gsm", u"oper", u"goods", u"groups", u"klishe", u"agents", u"factory", u"station" };
    return QString::fromUtf16(names[int(kind)]);
}

QString TitleOf(TableKind kind)
{
    static const char16_t *const titles[kKinds] = { u"параметры GSM", u"операторы", u"товары", u"группы", u"клише",
        u"параметры агентов", u"предприятия", u"станции" };
    return QString::fromUtf16(titles[int(kind)]);
}

QString NamesHelp()
{
    QStringList names;
    for (int kind = 0; kind < kKinds; ++kind)
        names << NameOf(TableKind(kind));
    return names.join(u", "_s);
}

TablePlan MakePlan(const std::optional<QString> &tables, const std::optional<QString> &range)
{
    const QList<TableKind> kinds = ParseTables(tables.value_or(NamesHelp()));
    const int last = MaxRowOf(TableKind::Goods);
    const RangeCheck rows = range ? ParseRange(*range) : CheckRowRange(1, last, last);
    TablePlan plan;
    for (TableKind kind : kinds) {
        if (kind == TableKind::Gsm) {
            plan.spans << TableSpan { kind, 1, MaxRowOf(kind) };
            continue;
        }
        if (rows.from > MaxRowOf(kind)) {
            plan.outOfRange << NameOf(kind);
            continue;
        }
        plan.spans << TableSpan { kind, rows.from, qMin(rows.to, MaxRowOf(kind)) };
    }
    if (plan.spans.isEmpty())
        throw UsageError { u"--range %1: ни в одной из выбранных таблиц (%2) нет строк этого диапазона"_s.arg(
            range.value_or(QString()), plan.outOfRange.join(u", "_s)) };
    return plan;
}
} // namespace TableSelection
