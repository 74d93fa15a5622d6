#include "ui/DigitsKeyFilter.h"

#include "pages/TypingRules.h"
#include "ui/TypedKey.h"

#include <QKeyEvent>
#include <QLineEdit>

DigitsKeyFilter::DigitsKeyFilter(QObject *parent)
    : QObject(parent)
{ }

void DigitsKeyFilter::watch(QLineEdit *field, int limit)
{
    field->setMaxLength(limit);
    field->installEventFilter(this);
}

bool DigitsKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    auto *field = qobject_cast<QLineEdit *>(watched);
    if (!field || event->type() != QEvent::KeyPress)
        return false;
    const std::optional<QString> typed = TypedText(*static_cast<QKeyEvent *>(event));
    return typed && !ApplyTypingRule(DigitsRule(field->maxLength()), field->text(), QString(), *typed);
}
