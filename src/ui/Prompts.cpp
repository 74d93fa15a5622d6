#include "ui/Prompts.h"

#include "ui/QtPrompts.h"

namespace {
Prompts *installed = nullptr;
}

Prompts &Prompts::instance()
{
    static QtPrompts real;
    return installed ? *installed : real;
}

void Prompts::setInstance(Prompts *prompts)
{
    installed = prompts;
}

QString Prompts::StoreIssueLine(const StoreIssue &issue)
{
    return QStringLiteral("%1, строка %2, %3: «%4» → «%5» (%6)")
        .arg(TableTitle(issue.kind))
        .arg(issue.row)
        .arg(FieldTitle(issue.kind, issue.row, issue.col), issue.value, issue.stored, issue.reason);
}
