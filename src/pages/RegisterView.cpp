#include "pages/RegisterView.h"

#include "config/NumberText.h"
#include "kkt/ComPort.h"
#include "kkt/KktText.h"
#include "pages/FixedLists.h"
#include "pages/GsmRun.h"
#include "pages/RegisterMap.h"
#include "pages/ReportText.h"
#include "pages/TableLayout.h"
#include "pages/TableRun.h"
#include "pages/TypingRules.h"
#include "pages/ValueConv.h"
#include "scanner/ShtrihCheck.h"

#include <algorithm>
#include <array>
#include <limits>
#include <map>

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
        return { col, upper };
    StoredCell cell { col, QString() };
    for (int part = 0; part < fields; ++part)
        cell.stored += ThroughField(fields == 1 ? text : text.mid(part * kField, kField), code);
    if (cell.stored != upper) {
        for (const QString &reason : TextReasons(upper, code, fields * kField))
            cell.add(StoreLevel::Changed, reason);
        if (cell.reasons.isEmpty())
            cell.add(StoreLevel::Changed, u"в ККТ сохранится иначе"_s);
    }
    return cell;
}

// A text of the wide font: the register keeps its field's characters
// whatever the font, while a line of the receipt in the wide font holds half.
StoredCell FontedText(int col, const QString &text, TextCode code, const QString &font)
{
    StoredCell cell = TextCell(col, text, code);
    if (FontCode(font) != FontCode(FixedLists::Narrow()) && cell.stored.size() > kWideLimit)
        cell.add(StoreLevel::Warning,
            Plural(int(cell.stored.size()), u"широкий шрифт, больше %2 символов: ККТ сохранит все %1 символ"_s,
                u"широкий шрифт, больше %2 символов: ККТ сохранит все %1 символа"_s,
                u"широкий шрифт, больше %2 символов: ККТ сохранит все %1 символов"_s)
                .arg(kWideLimit));
    return cell;
}

StoredCell FontCell(int col, const QString &font)
{
    StoredCell cell { col, FontNameOf(FontCode(font)) };
    if (!FixedLists::Fonts().contains(font))
        cell.add(StoreLevel::Changed, u"шрифт не из списка: будет «%1»"_s.arg(cell.stored));
    return cell;
}

// A cell the write refuses: the register keeps what it held.
StoredCell RefusedCell(int col, const QString &text, const QList<RowRefusal> &refusals)
{
    StoredCell cell { col, text };
    for (const RowRefusal &refusal : refusals)
        if (refusal.col == col)
            cell.add(StoreLevel::Refused, refusal.reason);
    return cell;
}

// The barcode and marking cells of a goods row, from the value the write sends.
QList<StoredCell> BarcodeCells(const QString &barcode, const QString &mark, const GoodsItemWrite &item)
{
    StoredCell code = RefusedCell(GoodsCol::Barcode, barcode, item.refusals);
    StoredCell marked { GoodsCol::Mark, mark };
    if (code.level == StoreLevel::Refused)
        return { code, marked };
    const std::optional<::ShtrihCells> back = ValueToShtrih(item.values.barcode);
    Q_ASSERT(back); // a value below 2^48, as the write makes it
    code.stored = back->barcode;
    marked.stored = back->mark;
    if (const QString unscannable = UnscannableBarcode(code.stored); !unscannable.isEmpty())
        code.add(StoreLevel::Warning, unscannable);
    if (!mark.isEmpty() && mark != back->mark)
        marked.add(StoreLevel::Changed,
            mark == back->mark + u"м"_s ? u"без штрих-кода отметка о маркировке не сохранится"_s
                                        : u"отметка не «м»: товар не будет маркирован"_s);
    return { code, marked };
}

StoredCell PriceCell(const QString &price, const GoodsItemWrite &item)
{
    StoredCell cell = RefusedCell(GoodsCol::Price, price, item.refusals);
    if (cell.level == StoreLevel::Refused)
        return cell;
    const std::optional<QString> back = KopToPrice(item.values.kopecks);
    Q_ASSERT(back); // a number of the field, as the write sends it
    cell.stored = *back;
    const qsizetype point = price.indexOf(u'.');
    const QStringView dropped = point < 0 ? QStringView() : QStringView(price).sliced(qMin(point + 3, price.size()));
    if (std::any_of(dropped.begin(), dropped.end(), [](QChar c) { return c != u'0'; }))
        cell.add(StoreLevel::Changed, u"копейки после второго знака будут отброшены"_s);
    return cell;
}

StoredCell SectionCell(const QString &section, quint8 sent)
{
    StoredCell cell { GoodsCol::Section, QString::number(sent) };
    if (section.isEmpty() || cell.stored == section)
        return cell;
    const std::optional<qint64> number
        = ParseDecimal(section, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    if (!number)
        cell.add(StoreLevel::Changed, u"не число: будет %1"_s.arg(cell.stored));
    else if (*number != sent) // "07" is 7 all the same
        cell.add(StoreLevel::Changed, u"не помещается в поле (0–255): будет %1"_s.arg(cell.stored));
    return cell;
}

QList<StoredCell> GoodsRow(const StringGridModel &grid, int row)
{
    const auto at = [&](int col) { return grid.cell(row, col); };
    const GoodsItemWrite item = GoodsItemOf(grid, row);
    QList<StoredCell> cells { FontedText(GoodsCol::Name, at(GoodsCol::Name), TextCode::GoodsName, at(GoodsCol::Font)),
        FontCell(GoodsCol::Font, at(GoodsCol::Font)) };
    cells << BarcodeCells(at(GoodsCol::Barcode), at(GoodsCol::Mark), item);
    cells << PriceCell(at(GoodsCol::Price), item) << SectionCell(at(GoodsCol::Section), item.values.section);
    return cells;
}

// A VAT or taxation cell through the code part the write makes of it: a text
// that is none of its list's entries reaches the register as the code the
// list lacks, and reads back as an empty cell. Such a text the register
// cannot hold at all; an empty cell it holds as that code.
StoredCell GroupPartCell(
    int col, const QString &text, const QStringList &entries, const QString &readBack, QChar code, const QString &what)
{
    StoredCell cell { col, readBack };
    if (entries.contains(text))
        return cell;
    cell.unheld = !text.isEmpty();
    cell.add(StoreLevel::Changed,
        (text.isEmpty() ? u"пусто: ККТ получит код %1 «%2», при чтении ячейка будет пустой"_s
                        : u"нет в списке: ККТ получит код %1 «%2», при чтении ячейка будет пустой"_s)
            .arg(what, QString(code)));
    return cell;
}

// The three list cells of a group, through the group's code.
QList<StoredCell> GroupCodeCells(const StringGridModel &grid, int row)
{
    const GroupCodeWrite code = GroupCodeOf(grid, row);
    if (code.refusal)
        return { RefusedCell(UslCol::Kind, grid.cell(row, UslCol::Kind), { *code.refusal }) };
    const UslCells back = CodeToUsl(code.code);
    const QString vat = grid.cell(row, UslCol::Vat);
    // The item kinds without a VAT choice put this text in the cell; it is their code 0.
    const bool exempt = vat == FixedLists::VatExempt() && FixedLists::IsVatExemptKind(back.kind);
    return { { UslCol::Kind, back.kind },
        exempt ? StoredCell { UslCol::Vat, back.vat }
               : GroupPartCell(UslCol::Vat, vat, FixedLists::Vat(), back.vat, code.code.at(2), u"налога"_s),
        GroupPartCell(UslCol::Tax, grid.cell(row, UslCol::Tax), FixedLists::Taxation(), back.tax, code.code.at(3),
            u"системы налогообложения"_s) };
}

QList<StoredCell> ParamRow(TableKind kind, const StringGridModel &grid, int row)
{
    QList<StoredCell> cells;
    for (int slot = 0; slot < FieldsPerRow(kind); ++slot) {
        const ParamSlot field = SlotOf(kind, row, slot);
        if (field.groupCode)
            cells << GroupCodeCells(grid, row);
        else if (field.textCol >= 0 && field.fontCol >= 0)
            cells << FontedText(
                field.textCol, grid.cell(row, field.textCol), TextCode::Kkt, grid.cell(row, field.fontCol));
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
            cell.add(StoreLevel::Changed, u"не IP-адрес: нужны четыре числа от 0 до 255 через точку"_s);
        if (param == 2 && !text.isEmpty() && !ParseDigits(text, kMaxPort).value_or(0))
            cell.add(StoreLevel::Changed, u"порт должен быть от 1 до %1"_s.arg(kMaxPort));
        return { cell };
    }
    return {};
}
} // namespace

void StoredCell::add(StoreLevel reasonLevel, const QString &reason)
{
    reasons << reason;
    level = qMax(level, reasonLevel);
}

QList<StoredCell> StoredRow(TableKind kind, const StringGridModel &grid, int row)
{
    if (row < 1 || row > MaxRowOf(kind))
        return {};
    QList<StoredCell> cells;
    switch (kind) {
    case TableKind::Gsm:
        cells = GsmRow(grid, row);
        break;
    case TableKind::Goods:
        cells = GoodsRow(grid, row);
        break;
    default:
        cells = ParamRow(kind, grid, row);
        break;
    }
    for (StoredCell &cell : cells) {
        if (cell.level != StoreLevel::Same)
            continue;
        const QString text = grid.cell(row, cell.col);
        if (text != cell.stored && text.toUpper() == cell.stored)
            cell.level = StoreLevel::Case;
    }
    return cells;
}

namespace {
const QString kCapitals = u"строчные буквы станут заглавными"_s;

QString StopText(bool laterTables)
{
    return laterTables ? u"запись остановится на этой строке, следующие таблицы не будут записаны"_s
                       : u"запись остановится на этой строке"_s;
}

template <typename Take> void ForEachIssue(TableKind kind, const StringGridModel &grid, int from, int to, Take take)
{
    if (kind == TableKind::Gsm) {
        from = 1;
        to = MaxRowOf(kind);
    }
    for (int row = qMax(from, 1); row <= qMin(to, MaxRowOf(kind)); ++row)
        for (const StoredCell &cell : StoredRow(kind, grid, row))
            if (cell.level != StoreLevel::Same)
                take(StoreIssue { kind, row, cell.col, grid.cell(row, cell.col), cell.stored,
                    cell.level == StoreLevel::Case ? kCapitals : cell.reasons.join(u"; "_s), cell.level });
}
} // namespace

QList<StoreIssue> StoreIssues(TableKind kind, const StringGridModel &grid, int from, int to)
{
    QList<StoreIssue> issues;
    ForEachIssue(kind, grid, from, to, [&](StoreIssue &&issue) { issues << std::move(issue); });
    return issues;
}

QList<StoreIssue> CheckBeforeWrite(TableKind kind, const StringGridModel &grid, int from, int to, bool laterTables)
{
    QList<StoreIssue> issues;
    std::map<int, std::pair<qsizetype, int>> capitals; // by column: the field's line and its further cells
    ForEachIssue(kind, grid, from, to, [&](StoreIssue &&issue) {
        if (issue.level == StoreLevel::Case) {
            const auto [line, added] = capitals.try_emplace(issue.col, issues.size(), 0);
            if (!added) {
                ++line->second.second;
                return;
            }
        }
        if (issue.refused())
            issue.stored = StopText(laterTables);
        issues << std::move(issue);
    });
    for (const auto &[col, line] : capitals)
        if (line.second > 0)
            issues[line.first].reason += u" (и ещё "_s
                + Plural(line.second, u"%1 значение этого поля)"_s, u"%1 значения этого поля)"_s,
                    u"%1 значений этого поля)"_s);
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
            if (kkt == cell.stored && !cell.unheld)
                continue;
            equal = false;
            // What the program says, where the register cannot hold it at all.
            const QString program = cell.unheld ? grid.cell(row, cell.col) : cell.stored;
            result.differences << VerifyDifference { kind, row, cell.col, program, kkt };
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
