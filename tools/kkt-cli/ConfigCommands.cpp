#include "ConfigCommands.h"

#include "CliContext.h"
#include "CliDispatcher.h"
#include "CommandArgs.h"
#include "ProgressReporter.h"
#include "TableSelection.h"
#include "config/ConfigFile.h"
#include "config/SafeFile.h"
#include "config/classMyIniFile.h"
#include "pages/ConfigCopy.h"
#include "pages/Goods1C.h"
#include "pages/GoodsDb102.h"
#include "pages/RegisterView.h"
#include "pages/TableRun.h"
#include "pages/xlsTool.h"

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
// A message of the core as the program's message box would show it: its CR LF line breaks as new lines.
void ShowMessage(QTextStream &stream, const QString &message)
{
    stream << QString(message).replace(u"\r\n"_s, u"\n"_s) << '\n';
    stream.flush();
}

int Fail(CliContext &context, int status, const QString &text)
{
    context.err() << u"kkt-cli: "_s << text << '\n';
    context.err().flush();
    return status;
}

// Why an input file cannot be read at all: not there, or there but no regular
// file (a folder, a FIFO, a device); empty when it is a regular file.
QString RefusedInput(const QString &path, const QString &what)
{
    const QFileInfo info(path);
    if (info.isFile())
        return {};
    if (!info.exists())
        return u"%1 «%2» не найден"_s.arg(what, path);
    return u"«%1» %2"_s.arg(path, SafeFile::NotRegularReason(path));
}

// The file and the tables of write-config and read-config.
struct ConfigJob
{
    QString path;
    TablePlan plan;
    bool allowMissing = false;
    bool strict = false;
};

// Nothing when only the help was asked for.
std::optional<ConfigJob> ParseJob(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    CommandArgs args(command, { u"ФАЙЛ.conf"_s });
    args.addValue(u"tables"_s, u"СПИСОК"_s,
        u"Таблицы через запятую (по умолчанию все): %1. Порядок запросов всегда тот же, что у программы."_s.arg(
            TableSelection::NamesHelp()));
    if (command.name == u"write-config"_s) {
        args.addFlag(u"allow-missing"_s,
            u"Записать и файл, в котором нет ключей выбранных таблиц (их значения будут пустыми)."_s);
        args.addFlag(u"strict"_s,
            u"Не записывать ничего, если ККТ сохранит какое-либо значение не так, как в файле (код 65)."_s);
    }
    args.addValue(u"range"_s, u"ОТ-ДО"_s,
        u"Строки каждой выбранной таблицы, от 1 до 6000; конец ограничивается последней строкой таблицы, "
        "таблица без строк в диапазоне пропускается. Параметры GSM всегда идут все семь."_s);
    if (!args.parse(context, arguments))
        return std::nullopt;
    const auto given = [&](const QString &name) {
        return args.isSet(name) ? std::optional<QString>(args.value(name)) : std::nullopt;
    };
    const TablePlan plan = TableSelection::MakePlan(given(u"tables"_s), given(u"range"_s));
    for (const QString &name : plan.outOfRange)
        context.warn(u"в таблице %1 нет строк диапазона %2, она пропущена"_s.arg(name, args.value(u"range"_s)));
    const bool writing = command.name == u"write-config"_s;
    return ConfigJob { args.positional(0), plan, writing && args.isSet(u"allow-missing"_s),
        writing && args.isSet(u"strict"_s) };
}

// Runs the plan's tables in order through the page's run engine; each failure
// message goes to standard error as it happens. The run stops after the first
// table that failed. Returns the exit status: 0, the outcome of the first
// failed request, or kBadInput when a check of a cell stopped the run.
int RunPlan(CliContext &context, const TablePlan &plan, RunDirection direction, const GridSet &grids,
    const QString &title = QString())
{
    ProgressReporter progress(context.err(), ProgressReporter::StandardErrorIsTerminal(),
        !title.isEmpty()                       ? title
            : direction == RunDirection::Write ? u"Запись в ККТ"_s
                                               : u"Чтение из ККТ"_s,
        plan.steps());
    int before = 0; // steps of the tables already run
    for (const TableSpan &span : plan.spans) {
        progress.setStage(TableSelection::TitleOf(span.kind));
        RunHooks hooks;
        hooks.progress = [&](const RunProgress &p) { progress.update(before + p.position); };
        hooks.failure = [&](const QString &message) {
            progress.interrupt();
            ShowMessage(context.err(), message);
            // The window's message gives the outcome alone; here the line's fault is said too.
            if (!context.channel().lastFault().isEmpty())
                ShowMessage(context.err(), u"kkt-cli: "_s + context.channel().lastFault());
        };
        const RunResult result = RunTable(
            context.channel(), context.connection, span.kind, direction, grids[span.kind], span.from, span.to, hooks);
        if (!result.ok) {
            progress.interrupt();
            return result.outcome != 0 ? result.outcome : ConfigExit::kBadInput;
        }
        before += span.steps();
    }
    progress.interrupt();
    return 0;
}

// Loads an existing configuration file into cfg and the grids; false (with the
// reason on standard error) when it cannot be read or holds no configuration
// at all: written to a register, such a file would only wipe it.
bool LoadExisting(CliContext &context, const QString &path, TConfig &cfg, const OwnedGrids &grids,
    std::vector<MissingConfigKey> *missing = nullptr)
{
    QString error;
    int keys = 0;
    if (!LoadConfigFile(path, cfg, &error, &keys, missing)) {
        Fail(context, ConfigExit::kBadInput, error); // the message names the file and the reason
        return false;
    }
    if (keys == 0) {
        Fail(context, ConfigExit::kBadInput,
            u"«%1» не является файлом конфигурации: в нём нет ни одного её ключа"_s.arg(path));
        return false;
    }
    ConfigToGrids(cfg, grids.set());
    return true;
}

// The table of the pages a part of the file fills.
TableKind TableOfPart(ConfigPart part)
{
    switch (part) {
    case ConfigPart::Gsm:
        return TableKind::Gsm;
    case ConfigPart::Oper:
        return TableKind::Oper;
    case ConfigPart::Goods:
        return TableKind::Goods;
    case ConfigPart::Usl:
        return TableKind::Usl;
    case ConfigPart::Klishe:
        return TableKind::Klishe;
    case ConfigPart::Agent:
        return TableKind::Agents;
    case ConfigPart::Factory:
        return TableKind::Factory;
    case ConfigPart::Station:
        break;
    }
    return TableKind::Station;
}

// A file cut in the middle would load its missing keys as empty values and
// blank the register: refused unless asked for, naming the first missing key.
bool RefuseMissingKeys(CliContext &context, const ConfigJob &job, const std::vector<MissingConfigKey> &missing)
{
    for (const MissingConfigKey &key : missing) {
        const bool selected = std::any_of(job.plan.spans.begin(), job.plan.spans.end(),
            [&](const TableSpan &span) { return span.kind == TableOfPart(key.part); });
        if (!selected)
            continue;
        Fail(context, ConfigExit::kBadInput,
            u"в файле «%1» нет ключа «%2» в разделе [%3]: файл неполон (--allow-missing запишет его всё же)"_s.arg(
                job.path, key.key, key.section));
        return true;
    }
    return false;
}

// The configuration file of a command into grids: false (said on standard
// error) when it is missing, unreadable, no configuration, or lacks keys of
// the chosen tables (unless allowed).
bool LoadJobFile(CliContext &context, const ConfigJob &job, const OwnedGrids &grids)
{
    // A mistyped name must not program the register with empty tables.
    if (const QString refused = RefusedInput(job.path, u"файл конфигурации"_s); !refused.isEmpty()) {
        Fail(context, ConfigExit::kBadInput, refused);
        return false;
    }
    const auto cfg = std::make_unique<TConfig>();
    std::vector<MissingConfigKey> missing;
    if (!LoadExisting(context, job.path, *cfg, grids, &missing))
        return false;
    return job.allowMissing || !RefuseMissingKeys(context, job, missing);
}

QString CellPlace(TableKind kind, int row, int col)
{
    return u"%1 %2 %3"_s.arg(TableSelection::NameOf(kind)).arg(row).arg(FieldTitle(kind, row, col));
}

// The values of the chosen rows that the register would hold otherwise than
// the file says, one line each on standard error; how many.
qsizetype ReportStoreIssues(CliContext &context, const TablePlan &plan, const GridSet &grids)
{
    qsizetype count = 0;
    for (const TableSpan &span : plan.spans) {
        for (const StoreIssue &issue : CheckBeforeWrite(span.kind, grids[span.kind], span.from, span.to)) {
            context.warn(u"проверка перед записью: %1: «%2» → «%3»: %4"_s.arg(
                CellPlace(issue.kind, issue.row, issue.col), issue.value, issue.stored, issue.reason));
            ++count;
        }
    }
    return count;
}

int WriteConfig(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    const std::optional<ConfigJob> job = ParseJob(context, command, arguments);
    if (!job)
        return 0;
    const OwnedGrids grids;
    if (!LoadJobFile(context, *job, grids))
        return ConfigExit::kBadInput;
    if (ReportStoreIssues(context, job->plan, grids.set()) > 0 && job->strict)
        return Fail(context, ConfigExit::kBadInput,
            u"ничего не записано: ККТ сохранит значения выше не так, как в файле (--strict)"_s);
    return RunPlan(context, job->plan, RunDirection::Write, grids.set());
}

// Reads the chosen rows of the register and compares them with what a write
// of the file would store: one line per differing cell on standard output.
int VerifyConfig(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    const std::optional<ConfigJob> job = ParseJob(context, command, arguments);
    if (!job)
        return 0;
    const OwnedGrids grids, read;
    if (!LoadJobFile(context, *job, grids))
        return ConfigExit::kBadInput;
    const int status = RunPlan(context, job->plan, RunDirection::Read, read.set(), u"Сверка с ККТ"_s);
    if (status != 0)
        return Fail(context, status, u"сверка не завершена"_s);
    int rows = 0, equalRows = 0;
    qsizetype differences = 0;
    for (const TableSpan &span : job->plan.spans) {
        const VerifyResult result
            = CompareWithRegister(span.kind, grids[span.kind], read[span.kind], span.from, span.to);
        for (const VerifyDifference &d : result.differences)
            context.out() << CellPlace(d.kind, d.row, d.col) << u": file="_s << d.program << u" kkt="_s << d.kkt
                          << '\n';
        rows += result.rows;
        equalRows += result.equalRows;
        differences += result.differences.size();
    }
    context.out().flush();
    context.warn(u"строк совпадает: %1 из %2, ячеек различается: %3"_s.arg(equalRows).arg(rows).arg(differences));
    return differences > 0 ? ConfigExit::kDiffers : 0;
}

// Whether a file can be written at path: tried before a long read, not after
// it. Error is the whole message, naming the file.
bool CanWrite(const QString &path, QString &error)
{
    if (!SafeFile::CheckWritable(path, &error))
        return false;
    QSaveFile probe(path);
    probe.setDirectWriteFallback(true);
    if (!probe.open(QIODevice::WriteOnly)) {
        error = u"не удастся записать файл «%1»: %2"_s.arg(path, probe.errorString());
        return false;
    }
    probe.cancelWriting();
    return true;
}

int ReadConfig(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    const std::optional<ConfigJob> job = ParseJob(context, command, arguments);
    if (!job)
        return 0;
    const QString &path = job->path;
    // Tables not read keep what the file holds; a new (or empty) file starts
    // from the pages' start values. A file of another kind is refused, not filled.
    const auto cfg = std::make_unique<TConfig>();
    const OwnedGrids grids;
    const QFileInfo info(path);
    if (info.exists() && (info.isDir() || info.size() > 0) && !LoadExisting(context, path, *cfg, grids))
        return ConfigExit::kBadInput;
    QString error;
    if (!CanWrite(path, error))
        return Fail(context, ConfigExit::kCannotWrite, error);
    const int status = RunPlan(context, job->plan, RunDirection::Read, grids.set());
    if (status != 0) {
        Fail(context, status, u"чтение не завершено, файл «%1» не изменён"_s.arg(path));
        return status;
    }
    GridsToConfig(grids.set(), *cfg);
    if (!SaveConfigFile(path, *cfg, &error))
        return Fail(context, ConfigExit::kCannotWrite, error);
    return 0;
}

enum class GoodsFormat { Db102, OneC, Xls };

GoodsFormat FormatOf(const QString &path, bool output)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"db102"_s)
        return GoodsFormat::Db102;
    if (suffix == u"1cdb"_s)
        return GoodsFormat::OneC;
    if (IsWorkbookFile(path) && !output)
        return GoodsFormat::Xls; // .xls, .xlsx, .ods: one reader
    if (suffix == u"xls"_s)
        throw UsageError { u"convert: файл .xls можно только прочитать, запишите в .db102 или .1cdb"_s };
    throw UsageError { u"convert: неизвестный вид файла «%1»: ожидается .db102, .1cdb%2"_s.arg(
        path, output ? u""_s : u", .xls, .xlsx или .ods"_s) };
}

PageResult LoadGoods(GoodsFormat format, const QString &path, StringGridModel &goods)
{
    switch (format) {
    case GoodsFormat::Db102:
        return LoadGoodsDb102(path, goods);
    case GoodsFormat::OneC:
        return ImportGoods1C(path, goods);
    case GoodsFormat::Xls:
        break;
    }
    return LoadXls(path, goods);
}

// A goods file in Windows-1251 holds "?" for every character the code page
// lacks (a workbook's names may hold any): said, with the rows, before it is written.
void WarnOfLostCharacters(CliContext &context, GoodsFormat to, const QString &out, const StringGridModel &goods)
{
    if (to == GoodsFormat::Db102 && TmyIniFile::EncodingOf(out) != TmyIniFile::Encoding::Cp1251)
        return; // an existing file in Unicode stays so
    const QList<int> rows = GoodsRows::RowsOutsideCp1251(goods);
    if (rows.isEmpty())
        return;
    constexpr int kShown = 10;
    QStringList numbers;
    for (int row : rows.first(qMin<qsizetype>(rows.size(), kShown)))
        numbers << QString::number(row);
    context.warn(u"знаки, которых нет в кодировке Windows-1251, есть в строках базы %1%2 (всего строк: %3); "
                 u"в файле «%4» они будут записаны как «?»"_s
                     .arg(numbers.join(u", "_s), rows.size() > kShown ? u" и других"_s : QString())
                     .arg(rows.size())
                     .arg(out));
}

int Convert(CliContext &context, const CliCommand &command, const QStringList &arguments)
{
    CommandArgs args(command, { u"ВХОД"_s, u"ВЫХОД"_s });
    if (!args.parse(context, arguments))
        return 0;
    const QString in = args.positional(0);
    const QString out = args.positional(1);
    const GoodsFormat from = FormatOf(in, false);
    const GoodsFormat to = FormatOf(out, true);
    // The page would create a missing .db102 and load it as an empty base; here that would only hide a typo.
    if (const QString refused = RefusedInput(in, u"файл"_s); !refused.isEmpty())
        return Fail(context, ConfigExit::kBadInput, refused);

    const auto goods = MakeGrid(TableKind::Goods);
    const PageResult loaded = LoadGoods(from, in, *goods);
    if (!loaded.ok) {
        ShowMessage(context.err(), loaded.message);
        return ConfigExit::kBadInput;
    }
    // What the load made of the file (rows, refused cells, names the register
    // holds otherwise) is a diagnostic: standard output keeps to the result.
    if (!loaded.message.isEmpty())
        ShowMessage(context.err(), loaded.message);
    WarnOfLostCharacters(context, to, out, *goods);
    const PageResult saved = to == GoodsFormat::Db102 ? SaveGoodsDb102(out, *goods) : ExportGoods1C(out, *goods);
    if (!saved.ok) {
        ShowMessage(context.err(), saved.message);
        return ConfigExit::kCannotWrite;
    }
    if (!saved.message.isEmpty())
        ShowMessage(context.out(), saved.message);
    return 0;
}
} // namespace

void AddConfigCommands(CliDispatcher &dispatcher)
{
    // Further lines of a summary, indented as the help indents the first.
    const QString more = u"\n      "_s;
    const QString codes = more
        + u"Код 65 — негодный или неполный файл, значение, отвергнутое до отправки; 73 — файл не записан;"_s + more
        + u"иначе — ответ первого неудачного запроса (5 — цена или штрих-код не число)."_s;
    const QString tables = more + u"Таблицы --tables: %1."_s.arg(TableSelection::NamesHelp());
    dispatcher.add(
        { u"write-config"_s, u"ФАЙЛ.conf [--tables СПИСОК] [--range ОТ-ДО]"_s,
            u"Записать конфигурацию из файла в ККТ, таблица за таблицей, до первой ошибки. Значения, которые ККТ"_s
                + more + u"сохранит иначе (обрезка, символы вне кодировки ККТ, числа вне поля), перечисляются"_s + more
                + u"перед записью; с --strict ничего не записывается."_s + tables + codes,
            true, {} },
        WriteConfig);
    dispatcher.add(
        { u"verify-config"_s, u"ФАЙЛ.conf [--tables СПИСОК] [--range ОТ-ДО]"_s,
            u"Сверить ККТ с файлом: прочитать строки и сравнить с тем, что сохранила бы запись файла;"_s + more
                + u"по строке на каждую различающуюся ячейку. Код 80 — есть различия."_s + tables + codes,
            true, {} },
        VerifyConfig);
    dispatcher.add({ u"read-config"_s, u"ФАЙЛ.conf [--tables СПИСОК] [--range ОТ-ДО]"_s,
                       u"Прочитать ККТ в файл конфигурации; прочие таблицы остаются как в файле (в новом —"_s + more
                           + u"начальные значения). При ошибке файл не меняется; операторы читаются и после ошибки."_s
                           + tables + codes,
                       true, {} },
        ReadConfig);
    dispatcher.add(
        { u"convert"_s, u"ВХОД ВЫХОД"_s,
            u"Преобразовать базу товаров: .db102, .1cdb и (только чтение) .xls, .xlsx, .ods, вид по расширению."_s
                + codes,
            false, {} },
        Convert);
}
