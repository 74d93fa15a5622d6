#pragma once

#include "CliCommand.h"

#include <QTextStream>

class CliContext;

#include <vector>

// Reads the connection options in front of the command, finds the command and
// runs it. Exit status: the command's (a transaction's outcome), 64 for any
// usage error.
class CliDispatcher
{
public:
    static constexpr int kExitUsage = 64;
    static constexpr int kExitCantWrite = 73;

    // A handler that gets its own command description (for its usage and help texts).
    using Handler = int (*)(CliContext &, const CliCommand &, const QStringList &);

    void add(CliCommand command);
    void add(CliCommand command, Handler handler);
    int run(const QStringList &arguments, QTextStream &out, QTextStream &err) const;

private:
    QString helpText() const;
    const CliCommand *find(const QString &name) const;

    std::vector<CliCommand> m_commands;
};
