#include "pages/TableRun.h"

#include "kkt/ComPort.h"
#include "pages/GsmRun.h"
#include "pages/RangeCheck.h"
#include "pages/RegisterMap.h"
#include "pages/ValueConv.h"

using namespace Qt::StringLiterals;

namespace {
struct Step
{
    bool ok = true;
    QString message; // when not ok
    quint8 outcome = 0; // of the failed request; 0 for a failed check
};

Step Failed(const QString &message, quint8 outcome = 0)
{
    return { false, message, outcome };
}

Step OutcomeStep(quint8 outcome, TableKind kind, bool writing, int number)
{
    if (outcome == KktOutcome::Ok)
        return {};
    return Failed(u"Внимание!\r\nОшибка ("_s + QString::number(outcome)
            + (writing ? LayoutOf(kind).writeFailure : LayoutOf(kind).readFailure) + QString::number(number) + u" !"_s,
        outcome);
}

// A value for which the write stops before sending: the program's own
// message, or the outcome the request gives such a value.
Step Refused(const RowRefusal &refusal, TableKind kind, int number)
{
    if (refusal.outcome != KktOutcome::Ok)
        return OutcomeStep(refusal.outcome, kind, true, number);
    return Failed(refusal.message);
}

Step ParamStep(KktChannel &channel, const KktConnection &conn, TableKind kind, bool writing, StringGridModel &grid,
    int gridRow, int slotIndex)
{
    const ParamSlot slot = SlotOf(kind, gridRow, slotIndex);
    quint16 font = slot.fontCol < 0 ? 0x30 : FontCode(grid.cell(gridRow, slot.fontCol));
    QString value;
    if (writing && slot.groupCode) {
        const GroupCodeWrite code = GroupCodeOf(grid, gridRow);
        if (code.refusal)
            return Refused(*code.refusal, kind, gridRow);
        value = code.code;
    } else if (writing) {
        value = grid.cell(gridRow, slot.textCol);
    }
    const quint8 outcome = RequestParam(
        channel, conn, writing ? KktMode::Write : KktMode::Read, slot.table, slot.row, slot.field, font, value, true);
    const Step step = OutcomeStep(outcome, kind, writing, gridRow);
    if (!step.ok || writing)
        return step;
    if (slot.groupCode) {
        const UslCells cells = CodeToUsl(value);
        grid.setCell(gridRow, UslCol::Kind, cells.kind);
        grid.setCell(gridRow, UslCol::Vat, cells.vat);
        grid.setCell(gridRow, UslCol::Tax, cells.tax);
    } else {
        grid.setCell(gridRow, slot.textCol, value);
    }
    if (slot.fontCol >= 0)
        grid.setCell(gridRow, slot.fontCol, FontNameOf(font));
    return step;
}

Step GoodsWrite(KktChannel &channel, const KktConnection &conn, StringGridModel &grid, int n)
{
    // A row the register could not take (or that would come back as another
    // value) is refused before anything is sent, naming the cell.
    GoodsItemWrite item = GoodsItemOf(grid, n);
    if (!item.refusals.isEmpty())
        return Refused(item.refusals.first(), TableKind::Goods, n);
    GoodsItemValues &v = item.values;
    quint16 number = quint16(n);
    return OutcomeStep(
        RequestPredmRasch(channel, conn, KktMode::Write, number, v.font, v.name, v.barcode, v.kopecks, v.section),
        TableKind::Goods, true, n);
}

Step GoodsRead(KktChannel &channel, const KktConnection &conn, StringGridModel &grid, int n)
{
    quint16 number = quint16(n), font = 0;
    QString name, value, price;
    quint8 section = 0;
    const Step step
        = OutcomeStep(RequestPredmRasch(channel, conn, KktMode::Read, number, font, name, value, price, section),
            TableKind::Goods, false, n);
    if (!step.ok)
        return step;
    // The request itself refuses an answer about another item than asked (a
    // stale frame, noise): it fails with outcome 2 and fills no row. A price
    // the grid cannot hold is refused here.
    const std::optional<QString> priceText = KopToPrice(price);
    if (!priceText)
        return Failed(u"ВНИМАНИЕ!\r\nККТ вернула недопустимую цену товара номер %1 (%2 коп.)!"_s.arg(n).arg(price));
    const std::optional<ShtrihCells> shtrih = ValueToShtrih(value);
    if (!shtrih)
        return Failed(u"ВНИМАНИЕ!\r\nККТ вернула недопустимый штрих-код товара номер %1!"_s.arg(n));
    const int row = number;
    const GridBulkUpdate bulk(grid);
    grid.setCell(row, GoodsCol::Name, name);
    grid.setCell(row, GoodsCol::Font, FontNameOf(font));
    grid.setCell(row, GoodsCol::Barcode, shtrih->barcode);
    grid.setCell(row, GoodsCol::Mark, shtrih->mark);
    grid.setCell(row, GoodsCol::Price, *priceText);
    grid.setCell(row, GoodsCol::Section, QString::number(section));
    return step;
}

void Report(RunResult &result, const RunHooks &hooks, const QString &message, quint8 outcome = 0)
{
    if (result.ok) { // the first failure gives the run's outcome and message
        result.outcome = outcome;
        result.message = message;
    }
    result.ok = false;
    result.messages << message;
    if (hooks.failure)
        hooks.failure(message);
}

struct RunSpan
{
    int from;
    int fields;
    int total;
    int rows;
};

void Progress(const RunHooks &hooks, const RunSpan &span, int row, int slot)
{
    if (!hooks.progress)
        return;
    const int position = (row - span.from) * span.fields + slot + 1;
    const int rowsDone = row - span.from + (slot + 1 == span.fields ? 1 : 0);
    hooks.progress({ position, span.total, ProgressPercent(position, span.total), rowsDone, span.rows });
}

bool StopAsked(const RunHooks &hooks, RunResult &result)
{
    result.stopped = hooks.stop && hooks.stop();
    return result.stopped;
}

Step RunStepAt(KktChannel &channel, const KktConnection &conn, TableKind kind, bool writing, StringGridModel &grid,
    int row, int slot)
{
    if (kind != TableKind::Goods)
        return ParamStep(channel, conn, kind, writing, grid, row, slot);
    return writing ? GoodsWrite(channel, conn, grid, row) : GoodsRead(channel, conn, grid, row);
}
} // namespace

int FieldsPerRow(TableKind kind)
{
    return LayoutOf(kind).fieldsPerRow;
}

ParamSlot SlotOf(TableKind kind, int gridRow, int slot)
{
    const TableLayout &layout = LayoutOf(kind);
    if (gridRow < 1 || gridRow > layout.rowFields.size() || slot < 0 || slot >= layout.rowFields[gridRow - 1].size())
        return { 0, 0, 0, -1, -1, false };
    return layout.rowFields[gridRow - 1][slot];
}

QList<RunStep> PlanRun(TableKind kind, int from, int to)
{
    QList<RunStep> steps;
    for (int row = from; row <= to; ++row)
        for (int slot = 0; slot < FieldsPerRow(kind); ++slot)
            steps.append({ row, slot });
    return steps;
}

RunResult RunTable(KktChannel &channel, const KktConnection &conn, TableKind kind, RunDirection direction,
    StringGridModel &grid, int from, int to, const RunHooks &hooks)
{
    if (kind == TableKind::Gsm)
        return RunGsm(channel, conn, direction, grid, hooks);
    Q_ASSERT(grid.rows() > MaxRowOf(kind)); // a grid of the kind's shape
    RunResult result;
    const RangeCheck range = CheckRowRange(from, to, MaxRowOf(kind));
    if (!range.ok) {
        Report(result, hooks, range.message);
        return result;
    }
    const bool writing = direction == RunDirection::Write;
    const int fields = FieldsPerRow(kind);
    const RunSpan span { from, fields, fields * (to - from + 1), to - from + 1 };
    // A stop inside a row of several fields names what of it went through.
    const auto stopAt = [&](int row, int fieldsDone) {
        if (!StopAsked(hooks, result))
            return false;
        if (fieldsDone > 0 && fieldsDone < fields) {
            result.partialRow = row;
            result.partialFields = fieldsDone;
        }
        if (result.resumeRow == 0 && (fieldsDone < fields || row < to))
            result.resumeRow = fieldsDone < fields ? row : row + 1;
        return true;
    };
    for (int row = from; row <= to; ++row) {
        bool rowDone = true;
        int slot = 0;
        for (; slot < fields; ++slot) {
            const Step step = RunStepAt(channel, conn, kind, writing, grid, row, slot);
            if (!step.ok) {
                if (result.resumeRow == 0)
                    result.resumeRow = row;
                Report(result, hooks, step.message, step.outcome);
                if (kind == TableKind::Agents)
                    Progress(hooks, span, row, slot);
                if (kind != TableKind::Oper || writing)
                    return result;
                rowDone = false; // the next operator is still read
                break;
            }
            Progress(hooks, span, row, slot);
            if (hooks.processEvents)
                hooks.processEvents();
            if (slot + 1 == fields)
                result.count += 1;
            if (stopAt(row, slot + 1))
                return result;
        }
        if (!rowDone && stopAt(row, slot))
            return result;
    }
    return result;
}

QString ClearBaseQuestion()
{
    return u"Внимание!\r\nВы действительно хотите очистить базу в ККТ!"_s;
}

PageResult ClearGoodsBase(KktChannel &channel, const KktConnection &conn)
{
    quint8 status = 0;
    const quint8 outcome = RequestClearBase(channel, conn, status);
    if (outcome != KktOutcome::Ok)
        return PageResult::Failure(u"Внимание!\r\nОшибка очистки базы - "_s + QString::number(outcome) + u"!"_s);
    return PageResult::Success(u"База успешно очищена!"_s);
}
