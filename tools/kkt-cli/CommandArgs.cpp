#include "CommandArgs.h"

#include "CliContext.h"
#include "config/NumberText.h"
#include "kkt/ComPort.h"

using namespace Qt::StringLiterals;

CommandArgs::CommandArgs(const CliCommand &command, const QStringList &positional)
    : m_command(command)
    , m_names(positional)
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(QCommandLineOption({ u"h"_s, u"help"_s }, u"Показать справку по команде."_s));
    for (const QString &name : positional)
        m_parser.addPositionalArgument(name, {});
}

void CommandArgs::addFlag(const QString &name, const QString &description)
{
    m_parser.addOption(QCommandLineOption(name, description));
}

void CommandArgs::addValue(const QString &name, const QString &valueName, const QString &description)
{
    m_parser.addOption(QCommandLineOption(name, description, valueName));
}

bool CommandArgs::parse(CliContext &context, const QStringList &arguments)
{
    const QString usage = u"kkt-cli %1 %2"_s.arg(m_command.name, m_command.synopsis);
    if (!m_parser.parse(QStringList { u"kkt-cli"_s } + arguments)) {
        if (!m_parser.unknownOptionNames().isEmpty())
            throw UsageError { u"%1: неизвестный параметр: %2\nИспользование: %3"_s.arg(
                m_command.name, m_parser.unknownOptionNames().join(u", "_s), usage) };
        throw UsageError { u"%1: неверные аргументы (%2)\nИспользование: %3"_s.arg(
            m_command.name, m_parser.errorText(), usage) };
    }
    if (m_parser.isSet(u"help"_s)) {
        context.out() << u"Использование: "_s << usage << "\n" << m_command.summary << "\n";
        const QString options = RussianHelp(m_parser.helpText().section(u"\n\n"_s, 1));
        context.out() << '\n' << options;
        context.out().flush();
        return false;
    }
    const QStringList given = m_parser.positionalArguments();
    if (given.size() != m_names.size())
        throw UsageError { u"%1: ожидается аргументов: %2, задано: %3\nИспользование: %4"_s.arg(m_command.name)
                               .arg(m_names.size())
                               .arg(given.size())
                               .arg(usage) };
    return true;
}

QString CommandArgs::RussianHelp(QString text)
{
    return text.replace(u"Usage:"_s, u"Использование:"_s)
        .replace(u"Options:"_s, u"Параметры:"_s)
        .replace(u"Arguments:"_s, u"Аргументы:"_s);
}

QString CommandArgs::value(const QString &name, const QString &fallback) const
{
    return m_parser.isSet(name) ? m_parser.value(name) : fallback;
}

qint64 CommandArgs::ParseNumber(const QString &text, qint64 min, qint64 max, const QString &what)
{
    const std::optional<qint64> value = ParseDecimal(text.trimmed(), min, max);
    if (!value)
        throw UsageError { u"%1 должно быть целым числом от %2 до %3, а не «%4»"_s.arg(what).arg(min).arg(max).arg(
            text) };
    return *value;
}

qint64 CommandArgs::number(int index, qint64 min, qint64 max) const
{
    return ParseNumber(positional(index), min, max, m_names.value(index));
}

qint64 CommandArgs::number(const QString &option, qint64 min, qint64 max, qint64 fallback) const
{
    return isSet(option) ? ParseNumber(value(option), min, max, u"--"_s + option) : fallback;
}

quint16 CommandArgs::fontCode() const
{
    return number(u"font"_s, 0, 1, 0) == 0 ? KktFont::Narrow : KktFont::Wide;
}
