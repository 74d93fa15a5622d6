#include "pages/RegisterView.h"

#include "config/NumberText.h"
#include "kkt/ComPort.h"
#include "kkt/KktText.h"
#include "pages/FixedLists.h"
#include "pages/GsmRun.h"
#include "pages/TableLayout.h"
#include "pages/TableRun.h"
#include "pages/ValueConv.h"

#include <algorithm>
#include <array>
#include <limits>

using namespace Qt::StringLiterals;

namespace {
constexpr int kField = kKktTextField;
constexpr int kMaxPort = 65535;

// How a text cell reaches its field.
enum class TextCode {
    Kkt, // upper-cased into the register's own code, the field's bytes
    GoodsName, // the same, cut to the field's characters before the code
    Raw, // each character's low eight bits, case kept
};

QString Upper(const QString &text, TextCode code)
{
    return code == TextCode::Raw ? text : text.toUpper();
}

bool IsControl(QChar c)
{
    return c.unicode() < 0x20;
}

// What one field gives back for a text written into it.
QString ThroughField(const QString &text, TextCode code)
{
    if (code == TextCode::GoodsName)
        return KKTToStr(StrToKKT(PrepareForKkt(text, kField)));
    const bool kkt = code == TextCode::Kkt;
    return DecodeParamValue(EncodeParamValue(text, kkt), kkt);
}

// Whether a character comes back from a field as it went in; remembered per
// character, as most texts repeat the same few.
bool Survives(QChar c, TextCode code)
{
    enum : quint8 { Unknown, Yes, No };
    static std::array<std::array<quint8, 0x10000>, 2> known {};
    quint8 &answer = known[code == TextCode::Raw ? 1 : 0][c.unicode()];
    if (answer == Unknown)
        answer = ThroughField(QString(c), code == TextCode::Raw ? code : TextCode::Kkt) == QString(c) ? Yes : No;
    return answer == Yes;
}

QString QuotedChars(const QString &chars)
{
    QStringList quoted;
    for (const QChar c : chars)
        quoted << u"«"_s + c + u"»"_s;
    return quoted.join(u", "_s);
}

// Why a text comes back other than typed: what the field cuts off, the
// characters it cannot carry, the control characters it drops. upper is the
// text as the field takes it (upper-cased unless plain).
QStringList TextReasons(const QString &upper, TextCode code, int limit)
{
    QString visible = upper;
    visible.removeIf(IsControl);
    // The goods name and plain texts are cut by characters, controls
    // included; the other coded texts by the bytes left after the controls.
    const QString &counted = code == TextCode::Kkt ? visible : upper;
    QStringList reasons;
    if (counted.size() > limit)
        reasons << u"длиннее поля: сохранится %1 символа"_s.arg(limit);
    const QString kept = counted.left(limit);
    QString lost;
    for (const QChar c : kept)
        if (!IsControl(c) && !lost.contains(c) && !Survives(c, code))
            lost += c;
    if (!lost.isEmpty())
        reasons << u"символы, которых нет в ККТ: %1"_s.arg(QuotedChars(lost));
    const QString &scanned = code == TextCode::Kkt ? upper : kept;
    if (std::any_of(scanned.cbegin(), scanned.cend(), IsControl))
        reasons << u"управляющие символы будут удалены"_s;
    return reasons;
}

// Whether the field keeps the text exactly: short enough, and every character
// one it carries. Most cells are such, and need no trip through the field.
bool KeptAsIs(const QString &upper, TextCode code, int limit)
{
    return upper.size() <= limit
        && std::all_of(upper.cbegin(), upper.cend(), [code](QChar c) { return !IsControl(c) && Survives(c, code); });
}

// A text cell of one field (or of `fields` fields of 24 characters each, the server name).
StoredCell TextCell(int col, const QString &text, TextCode code, int fields = 1)
{
    const QString upper = Upper(text, code);
    if (KeptAsIs(upper, code, fields * kField))
        return { col, upper, {}, false };
    StoredCell cell { col, QString(), {}, false };
    for (int part = 0; part < fields; ++part)
        cell.stored += ThroughField(fields == 1 ? text : text.mid(part * kField, kField), code);
    if (cell.stored != upper) {
        cell.reasons = TextReasons(upper, code, fields * kField);
        if (cell.reasons.isEmpty())
            cell.reasons << u"в ККТ сохранится иначе"_s;
    }
    return cell;
}

StoredCell FontCell(int col, const QString &font)
{
    StoredCell cell { col, FontNameOf(FontCode(font)), {}, false };
    if (!FixedLists::Fonts().contains(font))
        cell.reasons << u"шрифт не из списка: будет «%1»"_s.arg(cell.stored);
    return cell;
}

// The barcode and marking cells of a goods row.
QList<StoredCell> BarcodeCells(const QString &barcode, const QString &mark)
{
    StoredCell code { GoodsCol::Barcode, barcode, {}, false };
    StoredCell marked { GoodsCol::Mark, mark, {}, false };
    const std::optional<QString> value = ShtrihToValue(barcode, mark);
    const std::optional<::ShtrihCells> back = value ? ValueToShtrih(*value) : std::nullopt;
    if (!back) {
        code.refused = true;
        code.reasons << u"штрих-код должен быть числом меньше %1"_s.arg(kMarkBit);
        return { code, marked };
    }
    code.stored = back->barcode;
    marked.stored = back->mark;
    if (!mark.isEmpty() && mark != back->mark)
        marked.reasons << (mark == back->mark + u"м"_s ? u"без штрих-кода отметка о маркировке не сохранится"_s
                                                       : u"отметка не «м»: товар не будет маркирован"_s);
    return { code, marked };
}

StoredCell PriceCell(const QString &price)
{
    StoredCell cell { GoodsCol::Price, price, {}, false };
    if (!price.isEmpty() && !IsPriceNumber(price)) {
        cell.refused = true;
        cell.reasons << u"цена должна быть числом с точкой (12.50)"_s;
        return cell;
    }
    const std::optional<QString> back = KopToPrice(PriceToKop(price));
    if (!back) {
        cell.refused = true;
        cell.reasons << u"цена больше 21474836.47"_s;
        return cell;
    }
    if (back->startsWith(u'-'))
        cell.reasons << u"отрицательная цена"_s;
    cell.stored = *back;
    const qsizetype point = price.indexOf(u'.');
    const QStringView dropped = point < 0 ? QStringView() : QStringView(price).sliced(qMin(point + 3, price.size()));
    if (std::any_of(dropped.begin(), dropped.end(), [](QChar c) { return c != u'0'; }))
        cell.reasons << u"копейки после второго знака будут отброшены"_s;
    return cell;
}

StoredCell SectionCell(const QString &section)
{
    StoredCell cell { GoodsCol::Section, QString::number(SectionByte(section)), {}, false };
    if (section.isEmpty() || cell.stored == section)
        return cell;
    if (!ParseDecimal(section, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()))
        cell.reasons << u"не число: будет %1"_s.arg(cell.stored);
    else
        cell.reasons << u"не помещается в поле (0–255): будет %1"_s.arg(cell.stored);
    return cell;
}

QList<StoredCell> GoodsRow(const StringGridModel &grid, int row)
{
    const auto at = [&](int col) { return grid.cell(row, col); };
    QList<StoredCell> cells { TextCell(GoodsCol::Name, at(GoodsCol::Name), TextCode::GoodsName),
        FontCell(GoodsCol::Font, at(GoodsCol::Font)) };
    cells << BarcodeCells(at(GoodsCol::Barcode), at(GoodsCol::Mark));
    cells << PriceCell(at(GoodsCol::Price)) << SectionCell(at(GoodsCol::Section));
    return cells;
}

// The three list cells of a group, through the group's code.
QList<StoredCell> GroupCodeCells(const StringGridModel &grid, int row)
{
    const QString kind = grid.cell(row, UslCol::Kind);
    const QString vat = grid.cell(row, UslCol::Vat);
    const QString tax = grid.cell(row, UslCol::Tax);
    const std::optional<QString> code = UslToCode(kind, vat, tax);
    if (!code) {
        StoredCell refused { UslCol::Kind, kind, { u"не выбран признак предмета расчета"_s }, true };
        return { refused };
    }
    const UslCells back = CodeToUsl(*code);
    return { { UslCol::Kind, back.kind, {}, false }, { UslCol::Vat, back.vat, {}, false },
        { UslCol::Tax, back.tax, {}, false } };
}

QList<StoredCell> ParamRow(TableKind kind, const StringGridModel &grid, int row)
{
    QList<StoredCell> cells;
    for (int slot = 0; slot < FieldsPerRow(kind); ++slot) {
        const ParamSlot field = SlotOf(kind, row, slot);
        if (field.groupCode)
            cells << GroupCodeCells(grid, row);
        else if (field.textCol >= 0)
            cells << TextCell(field.textCol, grid.cell(row, field.textCol), TextCode::Kkt);
        if (field.fontCol >= 0)
            cells << FontCell(field.fontCol, grid.cell(row, field.fontCol));
    }
    return cells;
}

bool IsIpAddress(const QString &text)
{
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return false;
    for (const QString &part : parts)
        if (part.size() > 3 || !ParseDigits(part, 255))
            return false;
    return true;
}

QList<StoredCell> GsmRow(const StringGridModel &grid, int row)
{
    using namespace GsmParams;
    for (int param = 1; param <= kCount; ++param) {
        if (GridRowOf(param) != row)
            continue;
        const QString text = grid.cell(row, GsmCol::Value);
        StoredCell cell = TextCell(
            GsmCol::Value, text, Converted(param) ? TextCode::Kkt : TextCode::Raw, param == kServerName ? 3 : 1);
        if (param == 1 && !text.isEmpty() && !IsIpAddress(text))
            cell.reasons << u"не IP-адрес: нужны четыре числа от 0 до 255 через точку"_s;
        if (param == 2 && !text.isEmpty() && !ParseDigits(text, kMaxPort).value_or(0))
            cell.reasons << u"порт должен быть от 1 до %1"_s.arg(kMaxPort);
        return { cell };
    }
    return {};
}
} // namespace

QList<StoredCell> StoredRow(TableKind kind, const StringGridModel &grid, int row)
{
    if (row < 1 || row > MaxRowOf(kind))
        return {};
    switch (kind) {
    case TableKind::Gsm:
        return GsmRow(grid, row);
    case TableKind::Goods:
        return GoodsRow(grid, row);
    default:
        return ParamRow(kind, grid, row);
    }
}

QList<StoreIssue> CheckBeforeWrite(TableKind kind, const StringGridModel &grid, int from, int to)
{
    if (kind == TableKind::Gsm) {
        from = 1;
        to = MaxRowOf(kind);
    }
    QList<StoreIssue> issues;
    for (int row = qMax(from, 1); row <= qMin(to, MaxRowOf(kind)); ++row) {
        for (const StoredCell &cell : StoredRow(kind, grid, row)) {
            if (!cell.reasons.isEmpty())
                issues << StoreIssue { kind, row, cell.col, grid.cell(row, cell.col), cell.stored,
                    cell.reasons.join(u"; "_s), cell.refused };
        }
    }
    return issues;
}

VerifyResult CompareWithRegister(
    TableKind kind, const StringGridModel &grid, const StringGridModel &read, int from, int to)
{
    if (kind == TableKind::Gsm) {
        from = 1;
        to = MaxRowOf(kind);
    }
    VerifyResult result;
    for (int row = qMax(from, 1); row <= qMin(to, MaxRowOf(kind)); ++row) {
        ++result.rows;
        bool equal = true;
        for (const StoredCell &cell : StoredRow(kind, grid, row)) {
            const QString kkt = read.cell(row, cell.col);
            if (kkt == cell.stored)
                continue;
            equal = false;
            result.differences << VerifyDifference { kind, row, cell.col, cell.stored, kkt };
        }
        if (equal)
            ++result.equalRows;
    }
    return result;
}

QString FieldTitle(TableKind kind, int row, int col)
{
    const TableLayout &layout = LayoutOf(kind);
    return kind == TableKind::Gsm ? layout.rowTitle(row) : layout.column(col).title;
}

QString TableTitle(TableKind kind)
{
    return kind == TableKind::Gsm ? u"Параметры GSM"_s : LayoutOf(kind).tabTitle;
}
