#include "DeviceCommands.h"

#include "CliContext.h"
#include "CliDispatcher.h"
#include "CommandArgs.h"
#include "kkt/ComPort.h"
#include "kkt/KktText.h"
#include "kkt/PortDiscovery.h"

using namespace Qt::StringLiterals;

namespace {
// "0" narrow, "1" wide; any other byte as it came, in hex.
QString FontText(quint16 font)
{
    if (font == KktFont::Narrow)
        return u"0"_s;
    if (font == KktFont::Wide)
        return u"1"_s;
    return u"0x"_s + QString::number(font & 0xFF, 16).toUpper().rightJustified(2, u'0');
}

void WarnIfCut(CliContext &context, const QString &text, bool convert)
{
    const qsizetype bytes = convert ? StrToKKT(PrepareForKkt(text)).size() : text.size();
    if (bytes > kKktTextField)
        context.warn(u"текст длиннее %1 знаков, в ККТ попадут только первые %1"_s.arg(kKktTextField));
}

// The table/row/field arguments shared by get and set.
struct ParamAddress
{
    quint8 table, row, field;
};
ParamAddress AddressOf(const CommandArgs &args)
{
    return { quint8(args.number(0, 0, 255)), quint8(args.number(1, 0, 255)), quint8(args.number(2, 0, 255)) };
}

int Ports(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    CommandArgs args(command, {});
    if (!args.parse(context, arguments))
        return 0;
    TArrayCom ports;
    GetCOM_Loop(ports);
    for (const QString &name : ports)
        context.out() << name << '\n';
    return 0;
}

int Link(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    CommandArgs args(command, {});
    if (!args.parse(context, arguments))
        return 0;
    TTestLinkAnswer a;
    const quint8 outcome = RequestTestLink(context.channel(), context.connection, a);
    if (outcome == KktOutcome::Ok) {
        // Named by the answer offset they come from, as the register hands them back.
        const std::pair<const char16_t *, quint64> fields[] = {
            { u"b4", a.b4 },
            { u"b5", a.b5 },
            { u"b6", a.b6 },
            { u"b7", a.b7 },
            { u"w8", a.w8 },
            { u"b10", a.b10 },
            { u"b11", a.b11 },
            { u"b12", a.b12 },
            { u"b13", a.b13 },
            { u"b14", a.b14 },
            { u"b15", a.b15 },
            { u"d16", a.d16 },
            { u"b20", a.b20 },
            { u"b21", a.b21 },
            { u"q22", a.q22 },
        };
        for (const auto &[name, value] : fields)
            context.print(QString::fromUtf16(name), QString::number(value));
    }
    return context.finish(outcome, u"проверка связи"_s);
}

int Get(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    CommandArgs args(command, { u"ТАБЛИЦА"_s, u"РЯД"_s, u"ПОЛЕ"_s });
    args.addFlag(u"raw"_s, u"Без перекодировки: байты как символы Windows-1251."_s);
    if (!args.parse(context, arguments))
        return 0;
    const ParamAddress at = AddressOf(args);
    quint16 font = KktFont::Narrow;
    QString value;
    const quint8 outcome = RequestParam(context.channel(), context.connection, KktMode::Read, at.table, at.row,
        at.field, font, value, !args.isSet(u"raw"_s));
    if (outcome == KktOutcome::Ok) {
        context.print(u"font"_s, FontText(font));
        context.print(u"value"_s, value);
    }
    return context.finish(outcome, u"чтение параметра"_s);
}

int Set(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    CommandArgs args(command, { u"ТАБЛИЦА"_s, u"РЯД"_s, u"ПОЛЕ"_s, u"ТЕКСТ"_s });
    args.addValue(u"font"_s, u"0|1"_s, u"Шрифт: 0 — узкий, 1 — широкий (по умолчанию 0)."_s);
    args.addFlag(u"raw"_s, u"Без перекодировки: младшие 8 бит каждого символа."_s);
    if (!args.parse(context, arguments))
        return 0;
    const ParamAddress at = AddressOf(args);
    quint16 font = args.fontCode();
    QString value = args.positional(3);
    const bool convert = !args.isSet(u"raw"_s);
    WarnIfCut(context, value, convert);
    const quint8 outcome = RequestParam(
        context.channel(), context.connection, KktMode::Write, at.table, at.row, at.field, font, value, convert);
    return context.finish(outcome, u"запись параметра"_s);
}

int ItemGet(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    CommandArgs args(command, { u"N"_s });
    if (!args.parse(context, arguments))
        return 0;
    quint16 number = quint16(args.number(0, 0, 0xFFFF));
    quint16 font = 0;
    quint8 section = 0;
    QString name, barcode, price;
    const quint8 outcome = RequestPredmRasch(
        context.channel(), context.connection, KktMode::Read, number, font, name, barcode, price, section);
    if (outcome == KktOutcome::Ok) {
        context.print(u"number"_s, QString::number(number));
        context.print(u"font"_s, FontText(font));
        context.print(u"name"_s, name);
        context.print(u"barcode"_s, barcode);
        context.print(u"price"_s, price);
        context.print(u"section"_s, QString::number(section));
    }
    return context.finish(outcome, u"чтение товара"_s);
}

int ItemSet(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    CommandArgs args(command, { u"N"_s });
    args.addValue(u"name"_s, u"ТЕКСТ"_s, u"Наименование (по умолчанию пустое)."_s);
    args.addValue(u"font"_s, u"0|1"_s, u"Шрифт: 0 — узкий, 1 — широкий (по умолчанию 0)."_s);
    args.addValue(u"barcode"_s, u"ЦИФРЫ"_s, u"Штрих-код (по умолчанию 0)."_s);
    args.addValue(u"price"_s, u"КОПЕЙКИ"_s, u"Цена в копейках (по умолчанию 0)."_s);
    args.addValue(u"section"_s, u"N"_s, u"Отдел (по умолчанию 0)."_s);
    if (!args.parse(context, arguments))
        return 0;
    quint16 number = quint16(args.number(0, 0, 0xFFFF));
    quint16 font = args.fontCode();
    quint8 section = quint8(args.number(u"section"_s, 0, 255, 0));
    QString name = args.value(u"name"_s);
    // Barcode and price go as given: the request itself refuses what is not a number (outcome 5).
    QString barcode = args.value(u"barcode"_s, u"0"_s);
    QString price = args.value(u"price"_s, u"0"_s);
    WarnIfCut(context, name, true);
    const quint8 outcome = RequestPredmRasch(
        context.channel(), context.connection, KktMode::Write, number, font, name, barcode, price, section);
    return context.finish(outcome, u"запись товара"_s);
}

int ClearBase(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    CommandArgs args(command, {});
    if (!args.parse(context, arguments))
        return 0;
    quint8 status = 0;
    const quint8 outcome = RequestClearBase(context.channel(), context.connection, status);
    return context.finish(outcome, u"очистка базы товаров"_s);
}

} // namespace

void AddDeviceCommands(CliDispatcher &dispatcher)
{
    dispatcher.add({ u"ports"_s, {}, u"Список портов, по одному в строке."_s, false, {} }, Ports);
    dispatcher.add({ u"link"_s, {}, u"Проверка связи; поля ответа строками имя=значение."_s, true, {} }, Link);
    dispatcher.add({ u"get"_s, u"ТАБЛИЦА РЯД ПОЛЕ [--raw]"_s,
                       u"Прочитать параметр таблицы ККТ: font=0|1, value=текст."_s, true, {} },
        Get);
    dispatcher.add(
        { u"set"_s, u"ТАБЛИЦА РЯД ПОЛЕ ТЕКСТ [--font 0|1] [--raw]"_s, u"Записать параметр таблицы ККТ."_s, true, {} },
        Set);
    dispatcher.add({ u"item-get"_s, u"N"_s,
                       u"Прочитать товар N: number, font, name, barcode, price (копейки), section."_s, true, {} },
        ItemGet);
    dispatcher.add(
        { u"item-set"_s, u"N [--name ТЕКСТ] [--font 0|1] [--barcode ЦИФРЫ] [--price КОПЕЙКИ] [--section N]"_s,
            u"Записать товар N."_s, true, {} },
        ItemSet);
    dispatcher.add({ u"clear-base"_s, {}, u"Очистить базу товаров ККТ (ответа ждёт до 30 с)."_s, true, {} }, ClearBase);
}
