#pragma once

#include "CliCommand.h"

#include <QCommandLineParser>

class CliContext;

// The arguments of one command: its own options anywhere among its positional
// arguments. Every mistake throws UsageError.
class CommandArgs
{
public:
    // positional: the names of the required positional arguments, in order.
    CommandArgs(const CliCommand &command, const QStringList &positional);

    void addFlag(const QString &name, const QString &description);
    void addValue(const QString &name, const QString &valueName, const QString &description);

    // False when --help was asked for: the help is printed and the command ends.
    bool parse(CliContext &context, const QStringList &arguments);

    QString positional(int index) const { return m_parser.positionalArguments().value(index); }
    bool isSet(const QString &name) const { return m_parser.isSet(name); }
    QString value(const QString &name, const QString &fallback = {}) const;

    // A positional argument or option value as a whole number in [min, max].
    qint64 number(int index, qint64 min, qint64 max) const;
    qint64 number(const QString &option, qint64 min, qint64 max, qint64 fallback) const;
    // --font 0|1 as the font code byte (0x30 narrow, 0x31 wide); narrow when absent.
    quint16 fontCode() const;

    // QCommandLineParser's help text with its English headings in Russian.
    static QString RussianHelp(QString text);

    static qint64 ParseNumber(const QString &text, qint64 min, qint64 max, const QString &what);

private:
    const CliCommand &m_command;
    QStringList m_names;
    QCommandLineParser m_parser;
};
