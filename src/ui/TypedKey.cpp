#include "ui/TypedKey.h"

#include "pages/TypingRules.h"

#include <QKeyEvent>

std::optional<QString> TypedText(const QKeyEvent &key)
{
    const QString text = key.text();
    if (text.isEmpty() || (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return std::nullopt;
    if (text == QString(kBackspace))
        return text;
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control)
            return std::nullopt;
    return text;
}
