#include "kkt/ComPort.h"

#include "config/NumberText.h"
#include "kkt/KktText.h"

#include <cstring>
#include <limits>

using namespace KktFrame;
using namespace Qt::StringLiterals;

namespace {
void CopyField(quint8 *dst, const QByteArray &bytes)
{
    std::memcpy(dst, bytes.constData(), size_t(qMin<qsizetype>(bytes.size(), kKktTextField)));
}

QByteArrayView FieldAt(const quint8 *answer, int offset)
{
    return QByteArrayView(reinterpret_cast<const char *>(answer) + offset, kKktTextField);
}
} // namespace

QByteArray EncodeParamValue(const QString &value, bool convert)
{
    if (convert)
        return StrToKKT(PrepareForKkt(value)).left(kKktTextField);
    QByteArray out;
    for (qsizetype i = 0; i < value.size() && i < kKktTextField; ++i)
        out.append(char(value[i].unicode() & 0xFF));
    return out;
}

QString DecodeParamValue(QByteArrayView field, bool convert)
{
    if (convert)
        return KKTToStr(field);
    QString text = FromCp1251(field);
    text.removeIf([](QChar c) { return c.unicode() < 0x20; });
    return text;
}

quint8 RequestPredmRasch(KktChannel &channel, const KktConnection &conn, quint8 mode, quint16 &number, quint16 &font,
    QString &name, QString &barcode, QString &price, quint8 &section)
{
    const auto build = [&](quint8 *f) {
        f[8] = mode;
        WriteUnsigned(f + 9, number, 2);
        if (mode != KktMode::Write)
            return true;
        // Digits with an optional sign and nothing around: a blank-padded value is refused, not sent.
        const std::optional<qint64> code
            = ParseDecimal(barcode, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
        const std::optional<qint64> kop
            = ParseDecimal(price, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
        if (!code || !kop)
            return false;
        f[11] = quint8(font & 0xFF);
        if (!name.isEmpty())
            CopyField(f + 12, StrToKKT(PrepareForKkt(name, kKktTextField)));
        WriteUnsigned(f + 36, quint64(*code), 6);
        WriteUnsigned(f + 42, quint64(*kop), 5); // sign-extended to 40 bits
        f[47] = section;
        return true;
    };
    // A read is answered by the whole record of the item asked for; a bare
    // status, or a record of another item (a frame meant for an earlier
    // request), answers nothing.
    const auto check = [&](const quint8 *a, quint32 count) {
        if (mode != KktMode::Read)
            return QString();
        if (count < quint32(KktCommands::GoodsItem.answerLength))
            return u"в ответе ККТ нет записи товара (%1 байт из %2)"_s.arg(count).arg(
                KktCommands::GoodsItem.answerLength);
        const quint16 answered = ReadU16(a + 4);
        if (answered == number)
            return QString();
        return u"ККТ ответила о товаре номер %1, а спрошен товар номер %2"_s.arg(answered).arg(number);
    };
    const auto take = [&](const quint8 *a, quint32) {
        number = ReadU16(a + 4);
        font = a[6];
        name = KKTToStr(FieldAt(a, 7));
        barcode = QString::number(ReadUnsigned(a + 31, 6));
        price = QString::number(ReadUnsigned(a + 37, 5));
        section = a[42];
    };
    return RunTransaction(channel, conn, KktCommands::GoodsItem, build, take, check);
}

quint8 RequestParam(KktChannel &channel, const KktConnection &conn, quint8 mode, quint8 table, quint8 row, quint8 field,
    quint16 &font, QString &value, bool convert)
{
    const auto build = [&](quint8 *f) {
        f[8] = mode;
        f[9] = table;
        f[10] = row;
        f[11] = field;
        f[12] = quint8(font & 0xFF);
        if (mode == KktMode::Write && !value.isEmpty())
            CopyField(f + 13, EncodeParamValue(value, convert));
        return true;
    };
    const auto take = [&](const quint8 *a, quint32) {
        if (mode != KktMode::Read)
            return;
        font = a[8];
        value = DecodeParamValue(FieldAt(a, 9), convert);
    };
    return RunTransaction(channel, conn, KktCommands::TableParam, build, take);
}

quint8 RequestTestLink(KktChannel &channel, const KktConnection &conn, TTestLinkAnswer &answer)
{
    const auto take = [&](const quint8 *a, quint32) {
        answer.b4 = a[4];
        answer.b5 = a[5];
        answer.b6 = a[6];
        answer.b7 = a[7];
        answer.w8 = ReadU16(a + 8);
        answer.b10 = a[10];
        answer.b11 = a[11];
        answer.b12 = a[12];
        answer.b13 = a[13];
        answer.b14 = a[14];
        answer.b15 = a[15];
        answer.d16 = ReadU32(a + 16);
        answer.b20 = a[20];
        answer.b21 = a[21];
        answer.q22 = ReadUnsigned(a + 22, 6);
    };
    return RunTransaction(channel, conn, KktCommands::TestLink, nullptr, take);
}

quint8 RequestClearBase(KktChannel &channel, const KktConnection &conn, quint8 &status)
{
    KktConnection clearing = conn;
    clearing.TimeOut = kClearBaseTimeOutMs;
    const auto take = [&](const quint8 *a, quint32) { status = a[KktFrame::kStatusOffset]; };
    return RunTransaction(channel, clearing, KktCommands::ClearBase, nullptr, take);
}
