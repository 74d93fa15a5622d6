#include "pages/FailureAdvice.h"

#include "kkt/KktTransaction.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace FailureAdvice {
namespace {
struct Advice
{
    QString meaning;
    QString todo;
};

Advice AdviceFor(int outcome)
{
    switch (outcome) {
    case KktOutcome::PortNotOpened:
        return { u"порт не открылся: нет такого порта, он занят другой программой или не принял настройки."_s,
            u"закройте другую программу на этом порту, проверьте порт в «Настройки» → «Связь с ККТ»."_s };
    case KktOutcome::NoAnswer:
        return { u"нет ответа: касса молчит, ответ неполный, пришёл ответ не на этот запрос, на линии эхо "
                 u"или помехи."_s,
            u"проверьте питание, кабель, скорость и номер ККМ; посмотрите журнал обмена (Ctrl+A)."_s };
    case KktOutcome::ChecksumError:
        return { u"ошибка контрольной суммы ответа: помехи на линии."_s, u"проверьте кабель, уменьшите скорость."_s };
    case KktOutcome::BadNumber:
        return { u"цена или штрих-код не число."_s, u"исправьте ячейку в этой строке."_s };
    default:
        break;
    }
    if (KktOutcome::IsBusy(quint8(outcome)))
        return { u"касса занята и после десяти попыток."_s,
            u"подождите, пока касса закончит свою работу (печать, обмен с ОФД), и продолжите."_s };
    return { u"статус, который вернула касса (касса отказала в записи)."_s,
        u"проверьте значение в этой строке и режим кассы."_s };
}
} // namespace

QString ForOutcome(int outcome, bool runGoesOn)
{
    const Advice advice = AdviceFor(outcome);
    return u"Код %1 — %2\r\nЧто делать: %3"_s.arg(QString::number(outcome), advice.meaning, advice.todo)
        + (runGoesOn ? u"\r\nОбмен продолжается со следующей строки."_s
                     : u"\r\nЗатем нажмите «Продолжить с …»: обмен пойдёт со строки сбоя."_s);
}

QString ForMessage(const QString &message)
{
    static const QRegularExpression failure(u"^Внимание!\r\nОшибка \\((\\d{1,3})\\)"_s);
    const QRegularExpressionMatch match = failure.match(message);
    // The operators' read alone goes on past a failed operator.
    const bool goesOn = message.contains(u"при чтении операторов"_s);
    return match.hasMatch() ? ForOutcome(match.captured(1).toInt(), goesOn) : QString();
}
} // namespace FailureAdvice
