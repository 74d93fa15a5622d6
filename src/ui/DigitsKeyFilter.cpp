#include "ui/DigitsKeyFilter.h"

#include "pages/TypingRules.h"

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
    const auto *key = static_cast<QKeyEvent *>(event);
    // Navigation and editing keys carry no text; shortcuts (paste included) stay the field's own.
    if (key->text().size() != 1 || (key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    const QChar typed = key->text().front();
    if (!typed.isPrint() && typed != kBackspace)
        return false;
    return !ApplyTypingRule(DigitsRule(field->maxLength()), field->text(), QString(), typed).accepted;
}
