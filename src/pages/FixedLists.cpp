#include "pages/FixedLists.h"

using namespace Qt::StringLiterals;

namespace FixedLists {
QString Narrow()
{
    return u"Узкий"_s;
}
QString Wide()
{
    return u"Широкий"_s;
}
QString VatExempt()
{
    return u"НДС не облагается"_s;
}

const QStringList &Fonts()
{
    static const QStringList list { Narrow(), Wide() };
    return list;
}

const QStringList &ItemKinds()
{
    static const QStringList list {
        u"00 - Временный запрет работы секционной клавиши"_s,
        u"01 - ТОВАР, за исключением подакцизного товара"_s,
        u"02 - ПОДАКЦИЗНЫЙ ТОВАР"_s,
        u"03 - РАБОТА"_s,
        u"04 - УСЛУГА"_s,
        u"05 - УСЛУГА, с признаком \"банковский платежный агент\""_s,
        u"06 - УСЛУГА, с признаком \"банковский платежный субагент\""_s,
        u"07 - УСЛУГА, с признаком \"платежный агент\""_s,
        u"08 - УСЛУГА, с признаком \"платежный субагент\""_s,
        u"09 - УСЛУГА, с признаком \"поверенный\""_s,
        u"10 - УСЛУГА, с признаком \"комиссионер\""_s,
        u"11 - УСЛУГА, с признаком \"агент\""_s,
    };
    return list;
}

const QStringList &Vat()
{
    static const QStringList list {
        u"1 - Ставка НДС 20%"_s,
        u"2 - Ставка НДС 10%"_s,
        u"3 - Ставка НДС расчетная 20/120"_s,
        u"4 - Ставка НДС расчетная 10/110"_s,
        u"5 - Ставка НДС 0%"_s,
        u"6 - НДС не облагается"_s,
    };
    return list;
}

const QStringList &Taxation()
{
    static const QStringList list {
        u"1 - Общая"_s,
        u"2 - Упрощенная доход"_s,
        u"3 - Упрощенная доход минус расход"_s,
        u"4 - Единый налог на вмененный доход"_s,
        u"5 - Единый сельскохозяйственный налог"_s,
        u"6 - Патентная система налогообложения"_s,
    };
    return list;
}

bool IsVatExemptKind(const QString &kindEntry)
{
    return kindEntry == ItemKinds().at(5) || kindEntry == ItemKinds().at(6);
}
} // namespace FixedLists
