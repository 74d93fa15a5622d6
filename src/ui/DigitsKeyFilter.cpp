#include "ui/DigitsKeyFilter.h"

#include "pages/TypingRules.h"
#include "ui/RuleValidator.h"

#include <QLineEdit>

DigitsKeyFilter::DigitsKeyFilter(QObject *parent)
    : QObject(parent)
{ }

void DigitsKeyFilter::watch(QLineEdit *field, int limit)
{
    // Not the field's maxLength: that would cut a pasted "№ 12" before its digits are found.
    RuleValidator::install(field, DigitsRule(limit));
}
