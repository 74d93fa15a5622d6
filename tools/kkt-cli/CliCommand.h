#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class CliContext;

// A mistake on the command line: the command stops and kkt-cli exits 64 with the message.
struct UsageError
{
    QString message;
};

// One command of kkt-cli: its name, what the help shows, and what it does.
// run() gets the arguments after the name and returns the exit status.
struct CliCommand
{
    QString name;
    QString synopsis; // the arguments after the name, as the help shows them
    QString summary; // one line
    bool needsPort = true;
    std::function<int(CliContext &, const QStringList &)> run;
};
