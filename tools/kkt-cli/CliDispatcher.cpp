#include "CliDispatcher.h"

#include "CliContext.h"
#include "CommandArgs.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace {
const QString kUsage
    = u"kkt-cli [--port ИМЯ] [--speed БОД] [--timeout МС] [--kkt N] [--trace] [--log ФАЙЛ] КОМАНДА ..."_s;

struct GlobalOptions
{
    QCommandLineOption help { { u"h"_s, u"help"_s }, u"Показать справку."_s };
    QCommandLineOption port { u"port"_s, u"Порт ККТ: имя из списка (kkt-cli ports) или путь к устройству."_s,
        u"ИМЯ"_s };
    QCommandLineOption speed { u"speed"_s, u"Скорость порта, бод (по умолчанию 19200)."_s, u"БОД"_s, u"19200"_s };
    QCommandLineOption timeout { u"timeout"_s, u"Время ожидания ответа, мс (по умолчанию 3500)."_s, u"МС"_s,
        u"3500"_s };
    QCommandLineOption kkt { u"kkt"_s, u"Номер ККТ (по умолчанию 0)."_s, u"N"_s, u"0"_s };
    QCommandLineOption trace { u"trace"_s, u"Выводить каждый кадр обмена в стандартный поток ошибок."_s };
    QCommandLineOption log { u"log"_s, u"Дописывать каждый кадр обмена в файл, как его показывает журнал обмена."_s,
        u"ФАЙЛ"_s };
};
} // namespace

void CliDispatcher::add(CliCommand command)
{
    m_commands.push_back(std::move(command));
}

void CliDispatcher::add(CliCommand command, Handler handler)
{
    command.run = [handler, command](CliContext &context, const QStringList &arguments) {
        return handler(context, command, arguments);
    };
    add(std::move(command));
}

const CliCommand *CliDispatcher::find(const QString &name) const
{
    for (const CliCommand &command : m_commands)
        if (command.name == name)
            return &command;
    return nullptr;
}

QString CliDispatcher::helpText() const
{
    QCommandLineParser parser;
    const GlobalOptions options;
    parser.addOptions(
        { options.help, options.port, options.speed, options.timeout, options.kkt, options.trace, options.log });
    QString text = u"Использование: "_s + kUsage
        + u"\n\nРабота с ККТ из командной строки: те же запросы, что у программы.\n\n"_s;
    text += CommandArgs::RussianHelp(parser.helpText().section(u"\n\n"_s, 1));
    text += u"\nКоманды:\n"_s;
    for (const CliCommand &command : m_commands)
        text += u"  %1 %2\n      %3\n"_s.arg(command.name, command.synopsis, command.summary);
    text += u"\nСправка по команде: kkt-cli КОМАНДА --help\n"
            "Код завершения: 0 — выполнено, 1 — порт не открыт, 2 — нет ответа (find: ККТ не найдена),\n"
            "3 — ошибка контрольной суммы, 5 — не число, иначе статус ККТ (меньше 64);\n"
            "64 — ошибка в командной строке, 65 — неверный входной файл, 73 — файл не удалось записать,\n"
            "76 — ККТ вернула значение, которое программа не может принять, 80 — сверка нашла различия.\n"_s;
    return text;
}

int CliDispatcher::run(const QStringList &arguments, QTextStream &out, QTextStream &err) const
{
    CliContext context(out, err);
    try {
        QCommandLineParser parser;
        const GlobalOptions options;
        parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
        parser.addOptions(
            { options.help, options.port, options.speed, options.timeout, options.kkt, options.trace, options.log });
        if (!parser.parse(arguments))
            throw UsageError { parser.unknownOptionNames().isEmpty()
                    ? u"неверные параметры (%1)"_s.arg(parser.errorText())
                    : u"неизвестный параметр: %1"_s.arg(parser.unknownOptionNames().join(u", "_s)) };
        QStringList rest = parser.positionalArguments();
        if (parser.isSet(options.help)) {
            out << helpText();
            return 0;
        }
        if (rest.isEmpty())
            throw UsageError { u"не задана команда"_s };
        const CliCommand *command = find(rest.takeFirst());
        if (!command)
            throw UsageError { u"неизвестная команда «%1»"_s.arg(parser.positionalArguments().constFirst()) };

        context.connection.Name = parser.value(options.port);
        context.connection.Speed
            = quint32(CommandArgs::ParseNumber(parser.value(options.speed), 1, 4000000, u"--speed"_s));
        context.connection.TimeOut
            = quint32(CommandArgs::ParseNumber(parser.value(options.timeout), 0, 3600000, u"--timeout"_s));
        context.connection.NumKKT
            = qint32(CommandArgs::ParseNumber(parser.value(options.kkt), 0, 0x7FFFFFFF, u"--kkt"_s));
        context.setTrace(parser.isSet(options.trace));
        if (QString error; parser.isSet(options.log) && !context.setLogFile(parser.value(options.log), &error)) {
            err << u"kkt-cli: "_s << error << '\n';
            err.flush();
            return kExitCantWrite;
        }
        // --help of a command needs no port.
        const bool helpOnly = rest.contains(u"--help"_s) || rest.contains(u"-h"_s);
        if (command->needsPort && context.connection.Name.isEmpty() && !helpOnly)
            throw UsageError { u"не задан порт ККТ: укажите --port ИМЯ (список портов: kkt-cli ports)"_s };
        return command->run(context, rest);
    } catch (const UsageError &error) {
        err << u"kkt-cli: "_s << error.message << u"\nСправка: kkt-cli --help\n"_s;
        err.flush();
        return kExitUsage;
    }
}
