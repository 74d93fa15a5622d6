#include "kkt/ExchangeLog.h"

QString ByteToHex(quint8 b)
{
    static const char digits[] = "0123456789ABCDEF";
    const QChar pair[2] = { QLatin1Char(digits[b >> 4]), QLatin1Char(digits[b & 0x0F]) };
    return QString(pair, 2);
}

QString DumpBuf(const TBufKKT &buf)
{
    const quint32 count = qMin<quint32>(buf.count, TBufKKT::kSize);
    QString text;
    text.reserve(int(count) * 10);
    for (quint32 i = 0; i < count; ++i) {
        text += QString::number(i).rightJustified(2, QLatin1Char('0'));
        text += QLatin1Char('-');
        text += ByteToHex(buf.data[i]);
        text += QLatin1String("H;  ");
    }
    return text;
}

QString LogBufText(const TBufKKT &buf, bool isAnswer)
{
    if (!isAnswer)
        return buf.count == 0 ? QStringLiteral("Запрос пуст\r\n") : QStringLiteral("Запрос: \r\n") + DumpBuf(buf);
    return buf.count == 0 ? QStringLiteral("Ответ пуст\r\n")
                          : QStringLiteral("Ответ: \r\n") + DumpBuf(buf) + QStringLiteral("\r\n");
}
