#include "pages/GsmRun.h"

#include "kkt/ComPort.h"
#include "pages/TableLayout.h"

using namespace Qt::StringLiterals;

namespace GsmParams {
int GridRowOf(int param)
{
    static const int rows[kCount] = { 1, 3, 2, 4, 5, 6, 7 };
    return param >= 1 && param <= kCount ? rows[param - 1] : 0;
}

QString MessageNameOf(int param)
{
    static const QString names[kCount] = {
        u"IP адрес сервера"_s,
        u"Порт сервера"_s,
        u"Имя сервера"_s,
        u"PIN-код сим карты"_s,
        u"APN строка для подключения к сети Интернет"_s,
        u"Логин для подключения к сети Интернет"_s,
        u"Пароль для подключения к сети Интернет"_s,
    };
    return param >= 1 && param <= kCount ? names[param - 1] : QString();
}

bool Converted(int param)
{
    return param <= 4;
}
} // namespace GsmParams

RunResult RunGsm(KktChannel &channel, const KktConnection &conn, RunDirection direction, StringGridModel &grid,
    const RunHooks &hooks)
{
    using namespace GsmParams;
    RunResult result;
    const bool writing = direction == RunDirection::Write;
    for (int n = 1; n <= kCount; ++n) {
        const int row = GridRowOf(n);
        const int parts = n == kServerName ? 3 : 1;
        const QString text = grid.cell(row, GsmCol::Value);
        QString joined;
        for (int part = 0; part < parts; ++part) {
            quint16 font = 0x30;
            QString value;
            if (writing)
                value = parts == 1 ? text : text.mid(part * kPartLength, kPartLength);
            const quint8 outcome = RequestParam(channel, conn, writing ? KktMode::Write : KktMode::Read, 5, quint8(n),
                quint8(part), font, value, Converted(n));
            if (outcome != KktOutcome::Ok) {
                const QString message = (writing ? u"ВНИМАНИЕ!\r\nНе удалось записать параметр "_s
                                                 : u"ВНИМАНИЕ!\r\nНе удалось прочитать параметр "_s)
                    + MessageNameOf(n) + u"!"_s;
                result.ok = false;
                result.message = message;
                result.outcome = outcome;
                result.messages << message;
                if (hooks.failure)
                    hooks.failure(message);
                return result;
            }
            joined += value;
        }
        if (hooks.progress)
            hooks.progress({ n, kCount, ProgressPercent(n, kCount), n, kCount });
        if (!writing)
            grid.setCell(row, GsmCol::Value, joined);
        result.count = n;
        if (hooks.processEvents)
            hooks.processEvents();
        if (hooks.stop && hooks.stop()) {
            result.stopped = true;
            return result;
        }
    }
    return result;
}
