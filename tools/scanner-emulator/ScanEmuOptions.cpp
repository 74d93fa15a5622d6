#include "ScanEmuOptions.h"

#include "kkt/PortDiscovery.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {
constexpr int kMaxMs = 3600000;

const QString kHelp = u"Использование: scanner-emulator [параметры]\n"
                      "Имитатор сканера штрих-кода на псевдотерминале: посылает коды так, как их посылает\n"
                      "сканер (каждый код одной пачкой с завершающим символом). Коды берутся из параметров\n"
                      "--code и --datamatrix, а без них - из стандартного ввода, по одному в строке.\n"
                      "\n"
                      "Параметры:\n"
                      "  -h, --help                   Показать эту справку.\n"
                      "  --link ПУТЬ                  Символическая ссылка на терминал\n"
                      "                               (по умолчанию ports/SCAN-EMU рядом с программой).\n"
                      "  --code ТЕКСТ                 Послать этот код (можно повторять).\n"
                      "  --datamatrix GTIN14 СЕРИЯ    Послать код DataMatrix \"01\" + GTIN + \"21\" + серия.\n"
                      "  --suffix cr|crlf|lf|none     Завершение кода (по умолчанию cr).\n"
                      "  --interval-ms N              Пауза между кодами, мс (по умолчанию 200).\n"
                      "  --wait-ms N                  Пауза перед первым кодом, мс (по умолчанию 0).\n"
                      "  --split K:МС                 Послать первые K байт кода, ждать МС мс, потом остальное.\n"_s;

// A whole number in decimal within [0, max].
bool ParseCount(const QString &text, int max, int &value)
{
    static const QRegularExpression digits(u"^[0-9]{1,9}$"_s);
    if (!digits.match(text).hasMatch())
        return false;
    value = text.toInt();
    return value <= max;
}

// The 8-bit bytes a code text stands for; false when a character has none.
bool CodeBytes(const QString &text, QByteArray &bytes)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    bytes = text.toLatin1();
    return true;
}
} // namespace

QByteArray DataMatrixPayload(const QString &gtin14, const QString &serial)
{
    return "01" + gtin14.toLatin1() + "21" + serial.toLatin1();
}

bool ParseScanEmuOptions(const QStringList &arguments, ScanEmuOptions &options, QString &error, QString &help)
{
    options = ScanEmuOptions();
    options.linkPath = PortsFolder() + u"/SCAN-EMU"_s;
    const auto fail = [&](const QString &message) {
        error = message;
        return false;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &name = arguments[i];
        // The values an option takes; false when the command line ends before them.
        const auto values = [&](int count, QStringList &out) {
            if (i + count >= arguments.size())
                return false;
            out = arguments.mid(i + 1, count);
            i += count;
            return true;
        };
        QStringList v;
        if (name == u"-h"_s || name == u"--help"_s) {
            help = kHelp;
            error.clear();
            return false;
        }
        const int needs = name == u"--datamatrix"_s ? 2 : 1;
        if (!name.startsWith(u"-"_s))
            return fail(u"лишний аргумент: %1"_s.arg(name));
        if (!QStringList { u"--link"_s, u"--code"_s, u"--datamatrix"_s, u"--suffix"_s, u"--interval-ms"_s,
                u"--wait-ms"_s, u"--split"_s }
                 .contains(name))
            return fail(u"неизвестный параметр: %1"_s.arg(name));
        if (!values(needs, v))
            return fail(u"у параметра %1 нет значения"_s.arg(name));

        if (name == u"--link"_s) {
            if (v[0].isEmpty())
                return fail(u"пустой путь в --link"_s);
            options.linkPath = v[0];
        } else if (name == u"--code"_s) {
            QByteArray bytes;
            if (v[0].isEmpty() || !CodeBytes(v[0], bytes))
                return fail(u"код должен быть непустым текстом из однобайтовых символов: %1"_s.arg(v[0]));
            options.codes << bytes;
        } else if (name == u"--datamatrix"_s) {
            static const QRegularExpression gtin(u"^[0-9]{14}$"_s);
            static const QRegularExpression serial(u"^[\\x21-\\x7E]{1,20}$"_s);
            if (!gtin.match(v[0]).hasMatch())
                return fail(u"GTIN в --datamatrix должен состоять из 14 цифр: %1"_s.arg(v[0]));
            if (!serial.match(v[1]).hasMatch())
                return fail(u"серия в --datamatrix - от 1 до 20 видимых латинских знаков: %1"_s.arg(v[1]));
            options.codes << DataMatrixPayload(v[0], v[1]);
        } else if (name == u"--suffix"_s) {
            static const QHash<QString, QByteArray> suffixes { { u"cr"_s, "\r" }, { u"crlf"_s, "\r\n" },
                { u"lf"_s, "\n" }, { u"none"_s, QByteArray() } };
            if (!suffixes.contains(v[0]))
                return fail(u"--suffix принимает cr, crlf, lf или none: %1"_s.arg(v[0]));
            options.suffix = suffixes.value(v[0]);
        } else if (name == u"--interval-ms"_s || name == u"--wait-ms"_s) {
            int &target = name == u"--wait-ms"_s ? options.waitMs : options.intervalMs;
            if (!ParseCount(v[0], kMaxMs, target))
                return fail(u"значение %1 должно быть целым числом от 0 до %2: %3"_s.arg(name).arg(kMaxMs).arg(v[0]));
        } else {
            const QStringList parts = v[0].split(u':');
            if (parts.size() != 2 || !ParseCount(parts[0], 1000000, options.splitAt)
                || !ParseCount(parts[1], kMaxMs, options.splitMs))
                return fail(u"--split ждёт K:МС, два целых числа (например 13:100): %1"_s.arg(v[0]));
        }
    }
    return true;
}
