#include "pages/TypingRules.h"

#include "pages/FixedLists.h"
#include "pages/StringGridModel.h"

namespace {
bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Line ends, tabs and the like: nothing a cell can hold, whatever its rule.
bool IsControl(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line
        || category == QChar::Separator_Paragraph;
}

bool ClassAccepts(const CellRule &rule, const QString &cellText, QChar c)
{
    switch (rule.edit) {
    case EditRule::Digits:
        return IsDigit(c);
    case EditRule::Address:
        return IsDigit(c) || c == u'.';
    case EditRule::Price: // one point at most: the only decimal separator
        return IsDigit(c) || (c == u'.' && !cellText.contains(u'.'));
    case EditRule::UpperFont:
    case EditRule::UpperLimit:
    case EditRule::AnyLimit:
    case EditRule::Free:
        return true;
    case EditRule::None:
    case EditRule::List:
        break;
    }
    return false;
}

// The longest text typing may make; -1 for none.
int LimitOf(const CellRule &rule, const QString &fontText)
{
    switch (rule.edit) {
    case EditRule::UpperFont:
        return fontText == FixedLists::Narrow() ? kNarrowLimit : kWideLimit;
    case EditRule::Free:
        return -1;
    default:
        return rule.limit;
    }
}

bool Upper(const CellRule &rule)
{
    return rule.edit == EditRule::UpperFont || rule.edit == EditRule::UpperLimit;
}

enum class Verdict { Accepted, BadCharacter, OverLimit };

// The rule on one character; c comes back as it goes in.
Verdict Judge(const CellRule &rule, const QString &cellText, const QString &fontText, QChar &c)
{
    if (rule.edit == EditRule::None || rule.edit == EditRule::List || IsControl(c))
        return Verdict::BadCharacter;
    // QChar::toUpper maps one character to one: a letter without a single upper form stays as it is.
    if (Upper(rule))
        c = c.toUpper();
    // A Russian keypad types a comma where the price wants its point.
    if (rule.edit == EditRule::Price && c == u',')
        c = u'.';
    if (!ClassAccepts(rule, cellText, c))
        return Verdict::BadCharacter;
    const int limit = LimitOf(rule, fontText);
    if (limit >= 0 && cellText.size() >= limit)
        return Verdict::OverLimit;
    return Verdict::Accepted;
}
} // namespace

TypedChar ApplyTypingRule(const CellRule &rule, const QString &cellText, const QString &fontText, QChar typed)
{
    if (typed == kBackspace && rule.edit != EditRule::None && rule.edit != EditRule::List)
        return TypedChar::Accepted(typed);
    QChar c = typed;
    return Judge(rule, cellText, fontText, c) == Verdict::Accepted ? TypedChar::Accepted(c) : TypedChar::Refused();
}

std::optional<QString> ApplyTypingRule(
    const CellRule &rule, const QString &cellText, const QString &fontText, const QString &typed)
{
    QString text = cellText;
    QString inserted;
    for (const QChar c : typed) {
        const TypedChar result = ApplyTypingRule(rule, text, fontText, c);
        if (!result.accepted)
            return std::nullopt;
        text += result.ch;
        inserted += result.ch;
    }
    return inserted;
}

QString CutToTypingLimit(const CellRule &rule, const QString &text, const QString &fontText)
{
    const int limit = LimitOf(rule, fontText);
    if (limit < 0 || text.size() <= limit)
        return text;
    const bool splitsPair = limit > 0 && text[limit - 1].isHighSurrogate();
    return text.left(splitsPair ? limit - 1 : limit);
}

RuledText PassRule(const CellRule &rule, const QString &kept, const QString &fontText, const QString &inserted)
{
    RuledText out;
    QString cell = kept; // what the limit and the one point are judged on
    for (qsizetype i = 0; i < inserted.size();) {
        const bool pair = inserted[i].isHighSurrogate() && i + 1 < inserted.size() && inserted[i + 1].isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        QString piece;
        Verdict verdict = Verdict::Accepted;
        for (qsizetype k = 0; k < units && verdict == Verdict::Accepted; ++k) {
            QChar c = inserted[i + k];
            verdict = Judge(rule, cell + piece, fontText, c);
            piece += c;
        }
        i += units;
        if (verdict == Verdict::BadCharacter) {
            ++out.refused;
        } else if (verdict == Verdict::OverLimit) {
            ++out.cut;
            out.limit = LimitOf(rule, fontText);
        } else {
            cell += piece;
            out.text += piece;
        }
    }
    return out;
}

CellRule RuleAt(const TableLayout &layout, int row, int col)
{
    if (row < 1 || row >= layout.rows || col < 1 || col >= layout.cols)
        return {};
    for (const CellException &exception : layout.exceptions)
        if (exception.row == row && exception.col == col)
            return exception.rule;
    return layout.column(col).rule;
}

bool OpensList(const TableLayout &layout, const StringGridModel &grid, int row, int col)
{
    const CellRule rule = RuleAt(layout, row, col);
    if (rule.edit != EditRule::List)
        return false;
    if (rule.list == ListKind::Vat)
        return !FixedLists::IsVatExemptKind(grid.cell(row, UslCol::Kind));
    return true;
}

CellRule DigitsRule(int limit)
{
    CellRule rule;
    rule.edit = EditRule::Digits;
    rule.limit = limit;
    return rule;
}
