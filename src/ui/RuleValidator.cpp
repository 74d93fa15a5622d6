#include "ui/RuleValidator.h"

#include <QLineEdit>

namespace {
// old and now differ in one stretch: `removed` characters of old at `at` gave
// way to now's `inserted`.
struct Splice
{
    qsizetype at = 0;
    qsizetype removed = 0;
    QString inserted;
};

Splice SpliceOf(const QString &old, const QString &now)
{
    qsizetype head = 0;
    const qsizetype shorter = qMin(old.size(), now.size());
    while (head < shorter && old[head] == now[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    return { head, old.size() - head - tail, now.mid(head, now.size() - head - tail) };
}
} // namespace

RuleValidator::RuleValidator(const CellRule &rule, FontText fontText, QLineEdit *field)
    : QValidator(field)
    , m_rule(rule)
    , m_fontText(std::move(fontText))
    , m_field(field)
    , m_last(field->text())
{ }

RuleValidator *RuleValidator::install(QLineEdit *field, const CellRule &rule, FontText fontText)
{
    auto *validator = new RuleValidator(rule, std::move(fontText), field);
    field->setValidator(validator);
    return validator;
}

void RuleValidator::reset(const QString &text)
{
    m_last = text;
    m_field->setText(text);
}

RuledText RuleValidator::judge(const QString &inserted) const
{
    QString kept = m_field->text();
    if (m_field->hasSelectedText())
        kept.remove(m_field->selectionStart(), m_field->selectedText().size());
    return PassRule(m_rule, kept, m_fontText ? m_fontText() : QString(), inserted);
}

QValidator::State RuleValidator::validate(QString &input, int &pos) const
{
    if (input == m_last)
        return Acceptable;
    const Splice splice = SpliceOf(m_last, input);
    if (splice.inserted.isEmpty()) { // only deleted: always allowed
        m_last = input;
        return Acceptable;
    }
    const QString kept = m_last.left(splice.at) + m_last.mid(splice.at + splice.removed);
    const RuledText ruled = PassRule(m_rule, kept, m_fontText ? m_fontText() : QString(), splice.inserted);
    if (ruled.text.isEmpty())
        return Invalid; // the field goes back to m_last
    input = m_last.left(splice.at) + ruled.text + m_last.mid(splice.at + splice.removed);
    pos = int(splice.at + ruled.text.size());
    m_last = input;
    return Acceptable;
}
