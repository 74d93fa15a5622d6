#include "FindCommand.h"

#include "CliContext.h"
#include "CliDispatcher.h"
#include "CommandArgs.h"
#include "kkt/KktSearch.h"
#include "kkt/PortDiscovery.h"
#include "kkt/SerialLinkFactory.h"

using namespace Qt::StringLiterals;

namespace {
int Find(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    CommandArgs args(command, {});
    args.addValue(u"ports"_s, u"СПИСОК"_s, u"Порты через запятую (по умолчанию все из kkt-cli ports)."_s);
    args.addValue(u"wait"_s, u"МС"_s,
        u"Сколько ждать ответа сверх времени передачи на линии, мс (по умолчанию %1)."_s.arg(
            KktSearch::kDefaultWaitMs));
    if (!args.parse(context, arguments))
        return 0;
    TArrayCom ports;
    if (args.isSet(u"ports"_s))
        ports = args.value(u"ports"_s).split(u',', Qt::SkipEmptyParts);
    else
        GetCOM_Loop(ports);
    if (ports.isEmpty()) {
        context.err() << u"kkt-cli: не найдено ни одного порта: искать ККТ негде\n"_s;
        context.err().flush();
        return KktOutcome::PortNotOpened;
    }
    KktSearch search([] { return MakeSerialLink(); });
    search.setWaitMs(quint32(args.number(u"wait"_s, 0, 60000, KktSearch::kDefaultWaitMs)));
    const std::atomic_bool never = false;
    const KktSearchResult result = search.run(ports, context.connection.NumKKT, never);
    if (!result.found) {
        context.err() << u"kkt-cli: ККТ не найдена; проверены порты %1 на скоростях"_s.arg(ports.join(u", "_s));
        for (quint32 speed : KktSearch::SpeedOrder())
            context.err() << ' ' << speed;
        context.err() << '\n';
        context.err().flush();
        return KktOutcome::NoAnswer;
    }
    context.out() << u"port="_s << result.port << u" speed="_s << result.speed << '\n';
    context.out().flush();
    return 0;
}
} // namespace

void AddFindCommand(CliDispatcher &dispatcher)
{
    dispatcher.add({ u"find"_s, u"[--ports СПИСОК] [--wait МС]"_s,
                       u"Найти ККТ: проверка связи на каждом порту с каждой скоростью, сначала 115200; "
                       "выводит port=ИМЯ speed=БОД, иначе код 2."_s,
                       false, {} },
        Find);
}
