#include "EmulatorOptions.h"

#include "kkt/PortDiscovery.h"

#include <QCommandLineParser>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {
// A whole number in decimal or, with 0x in front, hexadecimal, within [0, max].
// A leading zero is just a zero (010 is ten), not C's octal.
bool ParseNumber(const QString &text, quint64 max, quint64 &value)
{
    static const QRegularExpression form(u"^(?:0[xX][0-9A-Fa-f]+|[0-9]+)$"_s);
    if (!form.match(text).hasMatch())
        return false;
    const bool hex = text.size() > 2 && (text[1] == u'x' || text[1] == u'X');
    bool ok = false;
    value = QStringView(text).sliced(hex ? 2 : 0).toULongLong(&ok, hex ? 16 : 10);
    return ok && value <= max;
}
} // namespace

bool ParseEmulatorOptions(const QStringList &arguments, EmulatorOptions &options, QString &error, QString &help)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Имитатор ККТ на псевдотерминале: отвечает на запросы программы "
                                     "так, как ответила бы касса."_s);
    const QCommandLineOption helpOption({ u"h"_s, u"help"_s }, u"Показать эту справку."_s);
    const QCommandLineOption link(
        u"link"_s, u"Символическая ссылка на терминал (по умолчанию ports/KKT-EMU рядом с программой)."_s, u"ПУТЬ"_s);
    const QCommandLineOption kkt(u"kkt"_s, u"Номер ККТ (по умолчанию 0)."_s, u"N"_s, u"0"_s);
    const QCommandLineOption busy(
        u"busy"_s, u"Отвечать «занято» (0x15) на первые N попыток каждого запроса."_s, u"N"_s);
    const QCommandLineOption silent(u"silent"_s, u"Не отвечать вовсе."_s);
    const QCommandLineOption badChecksum(u"bad-checksum"_s, u"Отвечать с неверной контрольной суммой."_s);
    const QCommandLineOption status(
        u"status"_s, u"Отвечать на каждый запрос этим статусом, не выполняя его."_s, u"КОД"_s);
    const QCommandLineOption shortAnswer(u"short"_s, u"Обрезать каждый ответ до 7 байт (статус сохраняется)."_s);
    const QCommandLineOption delay(u"delay-ms"_s, u"Ждать N мс перед каждым ответом."_s, u"N"_s);
    const QCommandLineOption pace(u"pace"_s, u"Передавать со скоростью линии (10 бит на байт при скорости порта)."_s);
    const QCommandLineOption repeat(
        u"repeat-ms"_s, u"Повторять каждый ответ ещё раз через N мс (следующий запрос ждёт)."_s, u"N"_s);
    const QCommandLineOption echo(
        u"echo"_s, u"Возвращать каждый полученный байт вместо ответа, как петля или модем с эхом."_s);
    parser.addOptions(
        { helpOption, link, kkt, busy, silent, badChecksum, status, shortAnswer, delay, pace, repeat, echo });

    if (!parser.parse(arguments)) {
        error = parser.unknownOptionNames().isEmpty()
            ? u"неверная командная строка (%1)"_s.arg(parser.errorText())
            : u"неизвестный параметр: %1"_s.arg(parser.unknownOptionNames().join(u", "_s));
        return false;
    }
    if (parser.isSet(helpOption)) {
        help = parser.helpText()
                   .replace(u"Usage:"_s, u"Использование:"_s)
                   .replace(u"[options]"_s, u"[параметры]"_s)
                   .replace(u"Options:"_s, u"Параметры:"_s);
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = u"лишние аргументы: %1"_s.arg(parser.positionalArguments().join(u' '));
        return false;
    }
    const auto number = [&](const QCommandLineOption &option, quint64 max, quint64 &value) {
        if (!parser.isSet(option))
            return true;
        if (ParseNumber(parser.value(option), max, value))
            return true;
        error = u"значение --%1 должно быть целым числом от 0 до %2: %3"_s.arg(option.names().constFirst())
                    .arg(max)
                    .arg(parser.value(option));
        return false;
    };
    quint64 kktValue = 0, busyValue = 0, statusValue = 0, delayValue = 0, repeatValue = 0;
    if (!number(kkt, 0xFFFFFFFFu, kktValue) || !number(busy, 1000000, busyValue) || !number(status, 0xFF, statusValue)
        || !number(delay, 3600000, delayValue) || !number(repeat, 3600000, repeatValue))
        return false;

    options.defaultLink = !parser.isSet(link);
    options.linkPath = options.defaultLink ? PortsFolder() + u"/KKT-EMU"_s : parser.value(link);
    if (options.linkPath.isEmpty()) {
        error = u"пустой путь в --link"_s;
        return false;
    }
    options.kktNumber = quint32(kktValue);
    options.faults.busy = int(busyValue);
    options.faults.silent = parser.isSet(silent);
    options.faults.badChecksum = parser.isSet(badChecksum);
    if (parser.isSet(status))
        options.faults.status = quint8(statusValue);
    options.faults.shortAnswer = parser.isSet(shortAnswer);
    options.faults.delayMs = int(delayValue);
    options.faults.pace = parser.isSet(pace);
    options.faults.repeatMs = int(repeatValue);
    options.faults.echo = parser.isSet(echo);
    return true;
}
