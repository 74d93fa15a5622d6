// The goods files of the goods tab: the grid alone, no KKT.
#include "app/EditedCells.h"
#include "app/KktSession.h"
#include "app/pages/Set102Frame.h"
#include "pages/Goods1C.h"
#include "pages/GoodsCsv.h"
#include "pages/GoodsDb102.h"
#include "pages/GoodsXlsx.h"
#include "pages/WorkbookRead.h"
#include "pages/xlsTool.h"
#include "ui/StringGrid.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QProgressDialog>

using namespace Qt::StringLiterals;

namespace {
const QString kDb102Suffix = u"db102"_s;
const QString k1cdbSuffix = u"1cdb"_s;
const QString k1cdbFilter = u"Файлы обмена с 1С (*.1cdb)|*.1cdb"_s;
const QString kCsvSuffix = u"csv"_s;
const QString kCsvFilter = u"Таблицы CSV (*.csv)|*.csv|Текст с табуляциями (*.tsv *.txt)|*.tsv;*.txt"_s;

// The hourglass for the length of a scope, given back also when the work throws.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
} // namespace

QString TFrameSet102::AskGoodsFile(Prompts::Kind dialog, const QString &filter, const QString &suffix)
{
    Prompts &prompts = Prompts::instance();
    const QString path = dialog == Prompts::Kind::SaveFile ? prompts.saveFileName(this, filter, suffix)
                                                           : prompts.openFileName(this, filter, suffix);
    if (path.isEmpty())
        return {};
    const bool replaces = dialog == Prompts::Kind::OpenFile;
    if (replaces && m_editedCells && !m_editedCells->confirmFile(this, TableKind::Goods))
        return {};
    return path;
}

void TFrameSet102::ApplyGoodsFile(const std::function<PageResult()> &op, bool replaces)
{
    PageResult result;
    {
        const BusyCursor busy;
        // A file loaded over the grid is one step of the window's history; an
        // undo gives the goods back what they matched before it.
        goodsView()->record(
            u"Загрузка базы товаров"_s, [&] { result = op(); },
            replaces && m_editedCells ? m_editedCells->keepForHistory() : std::function<void()>());
    }
    // Loaded or saved, the goods match that file now.
    if (result.ok && m_editedCells)
        m_editedCells->matched(TableKind::Goods);
    ShowResult(result);
}

void TFrameSet102::GoodsFileCommand(Prompts::Kind dialog, const QString &filter, const QString &suffix,
    const std::function<PageResult(const QString &path)> &op)
{
    Q_ASSERT(m_session);
    // A file loaded over the goods grid during a run would mix with the rows being sent.
    const TRunGuard guard(*m_session);
    if (!guard.acquired())
        return;
    const QString path = AskGoodsFile(dialog, filter, suffix);
    if (!path.isEmpty())
        ApplyGoodsFile([&] { return op(path); }, dialog == Prompts::Kind::OpenFile);
}

void TFrameSet102::Button1Click()
{
    GoodsFileCommand(Prompts::Kind::SaveFile, u"Файлы БД (*.db102)|*.db102"_s, kDb102Suffix,
        [this](const QString &path) { return SaveGoodsDb102(path, grid(TableKind::Goods)); });
}

void TFrameSet102::Button2Click()
{
    GoodsFileCommand(Prompts::Kind::OpenFile, u"Байлы БД (*.db102)|*.db102"_s, kDb102Suffix,
        [this](const QString &path) { return LoadGoodsDb102(path, grid(TableKind::Goods)); });
}

void TFrameSet102::N11Click()
{
    GoodsFileCommand(Prompts::Kind::OpenFile, k1cdbFilter, k1cdbSuffix,
        [this](const QString &path) { return ImportGoods1C(path, grid(TableKind::Goods)); });
}

void TFrameSet102::N12Click()
{
    GoodsFileCommand(Prompts::Kind::SaveFile, k1cdbFilter, k1cdbSuffix,
        [this](const QString &path) { return ExportGoods1C(path, grid(TableKind::Goods)); });
}

void TFrameSet102::N1xls1Click()
{
    Q_ASSERT(m_session);
    // Held until the reading ends: no run, no other file and no edit of the grid meanwhile.
    auto guard = std::make_shared<TRunGuard>(*m_session);
    if (!guard->acquired())
        return;
    const QString path = AskGoodsFile(
        Prompts::Kind::OpenFile, u"Файлы обмена с 1С (*.xls *.xlsx *.ods)|*.xls;*.xlsx;*.ods"_s, u"xls"_s);
    if (path.isEmpty())
        return;
    if (const std::optional<PageResult> refused = RefuseBeforeReading(path)) {
        ShowResult(*refused);
        return;
    }
    // The reader runs as a child process: the window stays live, and a reading
    // that takes over half a second shows its progress and can be cancelled.
    auto *read = new WorkbookRead(path, m_xlsReader, this);
    auto *progress
        = new QProgressDialog(u"Чтение книги «%1»…"_s.arg(QFileInfo(path).fileName()), u"Отмена"_s, 0, 0, this);
    progress->setObjectName(u"workbookProgress"_s);
    progress->setWindowModality(Qt::WindowModal);
    progress->setMinimumDuration(500);
    progress->setValue(0); // counts the half second from here
    progress->setAutoReset(false);
    progress->setAutoClose(false);
    const auto end = [read, progress] {
        progress->hide();
        progress->deleteLater();
        read->deleteLater();
    };
    connect(progress, &QProgressDialog::canceled, read, [read, end] {
        read->cancel();
        end();
    });
    connect(read, &WorkbookRead::finished, this, [this, guard, path, end](const XlsReading &reading) {
        end();
        ApplyGoodsFile([&] { return ImportReading(path, reading, grid(TableKind::Goods)); }, true);
    });
    read->start();
}

void TFrameSet102::N1csv1Click()
{
    GoodsFileCommand(Prompts::Kind::OpenFile, kCsvFilter, kCsvSuffix,
        [this](const QString &path) { return ImportGoodsCsv(path, grid(TableKind::Goods)); });
}

void TFrameSet102::N2csv1Click()
{
    GoodsFileCommand(Prompts::Kind::SaveFile, kCsvFilter, kCsvSuffix,
        [this](const QString &path) { return ExportGoodsCsv(path, grid(TableKind::Goods)); });
}

void TFrameSet102::N2xlsx1Click()
{
    GoodsFileCommand(Prompts::Kind::SaveFile, u"Книги Excel (*.xlsx)|*.xlsx"_s, u"xlsx"_s,
        [this](const QString &path) { return ExportGoodsXlsx(path, grid(TableKind::Goods)); });
}
