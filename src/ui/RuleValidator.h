#pragma once

#include "pages/TypingRules.h"

#include <QValidator>

#include <functional>

class QLineEdit;

// Holds a line edit to a typing rule whichever way text enters it: typed,
// pasted, dropped or middle-clicked. The text that came in passes the rule as
// if typed key by key (refused characters dropped, the rest cut at the limit);
// the text already there is never judged again. An entry that lets nothing
// through is refused whole, as a refused key is.
//
// A text set from outside (setText) is no entry: give it through reset(), so
// that a value loaded from a file keeps what the rule would not let a user type.
class RuleValidator : public QValidator
{
    Q_OBJECT
public:
    using FontText = std::function<QString()>;
    // fontText gives the row's font cell as it is now (only the font limit reads it).
    RuleValidator(const CellRule &rule, FontText fontText, QLineEdit *field);

    // Puts the text into the field as it stands.
    void reset(const QString &text);
    // What the rule makes of `inserted` going in at the field's cursor, over its selection.
    RuledText judge(const QString &inserted) const;

    State validate(QString &input, int &pos) const override;

    // Installs a validator of the rule on the field, which keeps its present text.
    static RuleValidator *install(QLineEdit *field, const CellRule &rule, FontText fontText = {});

private:
    CellRule m_rule;
    FontText m_fontText;
    QLineEdit *m_field;
    mutable QString m_last; // the field's text as last let through
};
