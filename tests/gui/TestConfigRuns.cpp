// The whole configuration from the main window's menu against the register
// imitated in-process: write, read and verify every table in one run, the
// check before writing, the verification dialog and its way to a cell, and a
// failed run that goes on from its row.
#include "FailOnceLink.h"
#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "app/ConfigRunWindow.h"
#include "app/ConfigRuns.h"
#include "app/MainForm.h"
#include "app/VerifyDialog.h"
#include "app/pages/GsmSettingFrame.h"
#include "app/pages/Set102Frame.h"
#include "emulator/DeviceLink.h"
#include "emulator/KktDevice.h"
#include "pages/TableLayout.h"
#include "ui/StringGrid.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

namespace {
constexpr int kAllRows = 6184; // 7 GSM parameters, 6 operators, 6000 goods, 8 groups, 21 lines, 12, 90, 40

struct Window
{
    QTemporaryDir dir;
    KktDevice device;
    DeviceLink deviceLink { device };
    ScriptedPrompts prompts;
    std::unique_ptr<TFormMain> form;

    explicit Window(SerialLink *link = nullptr)
    {
        form = std::make_unique<TFormMain>(dir.path(), dir.path());
        form->setPortLister([](TArrayCom &list) { list = { u"COM1"_s }; });
        form->StructSett.PortSett.Name = u"COM1"_s;
        form->channel().setLink(link ? *link : deviceLink);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("main window not shown");
    }
    void trigger(const QString &action) { form->findChild<QAction *>(action)->trigger(); }
    StringGridModel &goods() { return form->Set102Frame->grid(TableKind::Goods); }
    QString status() const { return form->findChild<QLabel *>(u"StatusNote"_s)->text(); }
};

bool Matches(const QString &text, const QString &pattern)
{
    return QRegularExpression(u"^"_s + pattern + u"$"_s).match(text).hasMatch();
}
} // namespace

class TestConfigRuns : public QObject
{
    Q_OBJECT
private slots:
    void writeVerifyAndFindTheDifference();
    void writeIsCheckedFirst();
    void readFillsEveryTable();
    void failedRunGoesOnFromItsRow();
    void wholeRunEndsATabsOffer();
    void closeAfterAFailure();
};

void TestConfigRuns::writeVerifyAndFindTheDifference()
{
    Window w;
    w.goods().setCell(3, GoodsCol::Name, u"Хлеб"_s);
    w.goods().setCell(3, GoodsCol::Price, u"12.5"_s);
    w.form->GsmFrame->grid().setCell(1, 1, u"91.107.67.212"_s);

    // The check names the capitals the register will make of it.
    w.prompts.answerStoreCheck(true).expect(Kind::Information);
    w.trigger(u"actWriteAll"_s);
    QVERIFY2(w.prompts.verdict().isEmpty(), qPrintable(w.prompts.verdict()));
    QCOMPARE(w.prompts.messages.first().text,
        u"Предмет расчета, строка 3, Наименование: «Хлеб» → «ХЛЕБ» (строчные буквы станут заглавными)"_s);
    QVERIFY2(Matches(w.prompts.messages.last().text, u"Конфигурация записана в ККТ: 6184 строк за \\d+:\\d\\d"_s),
        qPrintable(w.prompts.messages.last().text));
    QVERIFY2(Matches(w.status(), u"Записано 6184 строк за \\d+:\\d\\d"_s), qPrintable(w.status()));
    QVERIFY(!w.form->configRuns()->progressWindow()->isVisible());

    // What the grids meant is in the register: lower case and a short price included.
    w.prompts.reset();
    w.prompts.expect(Kind::Information);
    w.trigger(u"actVerifyAll"_s);
    QVERIFY2(w.prompts.verdict().isEmpty(), qPrintable(w.prompts.verdict()));
    QCOMPARE(w.prompts.messages.last().text, u"Данные в ККТ совпадают с программой (6184 строк)"_s);

    // One price changed in the register behind the program's back.
    KktDevice::GoodsItem changed = *w.device.goodsItem(3);
    changed.price = 1299;
    QVERIFY(w.device.setGoodsItem(3, changed));
    w.prompts.reset();
    w.trigger(u"actVerifyAll"_s);
    QVERIFY2(w.prompts.messages.isEmpty(), qPrintable(w.prompts.messages.value(0).text));
    TVerifyDialog *dialog = w.form->verifyDialog();
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->summary()->text(), u"Совпадает: %1, различается: 1"_s.arg(kAllRows - 1));
    QCOMPARE(dialog->table()->rowCount(), 1);
    QStringList row;
    for (int col = 0; col < 5; ++col)
        row << dialog->table()->item(0, col)->text();
    QCOMPARE(row, (QStringList { u"Предмет расчета"_s, u"3"_s, u"Цена за единицу"_s, u"12.50"_s, u"12.99"_s }));
    QCOMPARE(w.goods().cell(3, GoodsCol::Price), u"12.5"_s); // the grid as the user left it

    // A double click shows the cell in its grid.
    w.form->ShowCell(TableKind::Gsm, 1, 1);
    QSignalSpy asked(dialog, &TVerifyDialog::showCell);
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    const QRect cell = dialog->table()->visualItemRect(dialog->table()->item(0, 1));
    // A person's double click: a press and release, then the second press.
    QTest::mouseClick(dialog->table()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(dialog->table()->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(asked.size(), 1);
    QCOMPARE(w.form->CurrentVisibleFrame, w.form->Set102Frame);
    QCOMPARE(w.form->Set102Frame->showingTable(), TableKind::Goods);
    QCOMPARE(w.form->Set102Frame->goodsView()->currentRow(), 3);
    QCOMPARE(w.form->Set102Frame->goodsView()->currentCol(), GoodsCol::Price);

    // The differing cell stays marked until its next edit or the next run.
    const auto differs = [&] { return w.goods().markReason(3, GoodsCol::Price, MarkKind::Differs); };
    QCOMPARE(differs(), u"Сверка: в ККТ «12.99», в программе «12.50»"_s);
    QCOMPARE(w.goods().data(w.goods().index(3, GoodsCol::Price), Qt::ToolTipRole).toString(), differs());
    w.goods().setCell(3, GoodsCol::Price, u"12.99"_s);
    QCOMPARE(differs(), QString());
    w.goods().setCell(3, GoodsCol::Price, u"12.5"_s);
    w.prompts.reset();
    w.trigger(u"actVerifyAll"_s);
    QCOMPARE(differs(), u"Сверка: в ККТ «12.99», в программе «12.50»"_s);
    w.prompts.answerStoreCheck(true).expect(Kind::Information);
    w.trigger(u"actWriteAll"_s);
    QVERIFY2(w.prompts.verdict().isEmpty(), qPrintable(w.prompts.verdict()));
    QCOMPARE(differs(), QString());
}

void TestConfigRuns::writeIsCheckedFirst()
{
    Window w;
    w.goods().setCell(2, GoodsCol::Name, u"Чай чёрный листовой 100 г №7"_s);
    w.goods().setCell(5, GoodsCol::Price, u"-5"_s);
    w.form->Set102Frame->grid(TableKind::Usl).setCell(2, UslCol::Vat, u"9 - НДС 99%"_s);
    w.form->GsmFrame->grid().setCell(3, 1, u"77909"_s);
    w.prompts.answerStoreCheck(false);
    w.trigger(u"actWriteAll"_s);
    QVERIFY2(w.prompts.verdict().isEmpty(), qPrintable(w.prompts.verdict()));
    const QStringList listed = w.prompts.messages.first().text.split(u'\n');
    QCOMPARE(listed.size(), 4);
    QVERIFY(listed[0].startsWith(u"Параметры GSM, строка 3, Порт сервера ОФД: «77909»"_s));
    QVERIFY(listed[1].startsWith(u"Предмет расчета, строка 2, Наименование: «Чай чёрный"_s));
    // A row the write would stop at, and the tables after it that would stay unwritten.
    QCOMPARE(listed[2],
        u"Предмет расчета, строка 5, Цена за единицу: «-5» → «запись остановится на этой строке, следующие таблицы "
        u"не будут записаны» (отрицательная цена)"_s);
    // What the register gets for a VAT that is none of the list's.
    QCOMPARE(listed[3],
        u"Группы предметов расчета, строка 2, Номер налога: «9 - НДС 99%» → «» (нет в списке: ККТ получит код налога "
        u"«0», при чтении ячейка будет пустой)"_s);
    QCOMPARE(w.deviceLink.writes(), 0);
}

void TestConfigRuns::readFillsEveryTable()
{
    Window w;
    KktDevice::GoodsItem item;
    item.price = 5990;
    item.barcode = 4607001770012;
    QVERIFY(w.device.setGoodsItem(6000, item));
    w.goods().setCell(1, GoodsCol::Name, u"УЙДЁТ"_s);
    w.prompts.answerQuestion(true).expect(Kind::Information);
    w.trigger(u"actReadAll"_s);
    QCOMPARE(w.prompts.messages.first().text, u"Чтение из ККТ заменит изменённые ячейки: 1. Продолжить?"_s);
    QVERIFY2(Matches(w.prompts.messages.last().text, u"Конфигурация прочитана из ККТ: 6184 строк за \\d+:\\d\\d"_s),
        qPrintable(w.prompts.messages.last().text));
    QCOMPARE(w.goods().cell(6000, GoodsCol::Price), u"59.90"_s);
    QCOMPARE(w.goods().cell(6000, GoodsCol::Barcode), u"4607001770012"_s);
    QCOMPARE(w.goods().cell(1, GoodsCol::Name), QString());
}

// A port gone for a moment at goods item 180: the table's message, the row
// shown, and "Продолжить с" writes the rest, from that item on.
void TestConfigRuns::failedRunGoesOnFromItsRow()
{
    KktDevice device;
    DeviceLink inner(device);
    // GSM: 9 requests, operators: 30, then the goods items.
    FailOnceLink link(inner, 9 + 30 + 180);
    Window w(&link);
    w.goods().setCell(6000, GoodsCol::Name, u"ПОСЛЕДНИЙ"_s);
    w.prompts.expect(Kind::Error);
    w.trigger(u"actWriteAll"_s);
    QVERIFY2(w.prompts.verdict().isEmpty(), qPrintable(w.prompts.verdict()));
    QCOMPARE(w.prompts.messages.last().text, u"Внимание!\r\nОшибка (1) при записи базы. Товар номер 180 !"_s);
    TConfigRunWindow *progress = w.form->configRuns()->progressWindow();
    QVERIFY(progress->isVisible());
    auto *resume = progress->findChild<QPushButton *>(u"btnResumeRun"_s);
    QVERIFY(resume && resume->isVisible());
    QCOMPARE(resume->text(), u"Продолжить с Предмет расчета, строка 180"_s);
    // What code 1 means, under the message; the way on and the way out, whole.
    QVERIFY2(w.prompts.messages.last().detail.startsWith(u"Код 1 — порт не открылся"_s),
        qPrintable(w.prompts.messages.last().detail));
    auto *close = progress->findChild<QPushButton *>(u"btnCloseRun"_s);
    QVERIFY(close && close->isVisible());
    QCOMPARE(close->text(), u"Закрыть"_s);
    for (const QPushButton *button : { resume, close })
        QVERIFY2(button->width() >= button->sizeHint().width()
                && progress->rect().contains(QRect(button->mapTo(progress, QPoint()), button->size())),
            qPrintable(button->text()));
    QCOMPARE(w.form->Set102Frame->showingTable(), TableKind::Goods);
    QCOMPARE(w.form->Set102Frame->goodsView()->currentRow(), 180);
    QVERIFY(!device.goodsItem(6000)->name[0]);

    w.prompts.reset();
    w.prompts.expect(Kind::Information);
    const int opensBefore = link.opens();
    QTest::mouseClick(resume, Qt::LeftButton);
    QVERIFY2(w.prompts.verdict().isEmpty(), qPrintable(w.prompts.verdict()));
    // Items 180..6000 and the tables after the goods: 5821 + 8 + 21 + 12 + 90 + 40 rows.
    QVERIFY2(Matches(w.prompts.messages.last().text, u"Конфигурация записана в ККТ: 5992 строк за \\d+:\\d\\d"_s),
        qPrintable(w.prompts.messages.last().text));
    QCOMPARE(link.opens() - opensBefore, 5821 + 16 + 21 + 12 + 180 + 40);
    QCOMPARE(device.goodsItem(6000)->name[0], quint8('p')); // П in the register's code
    QVERIFY(!progress->isVisible());
}

// A tab's "Продолжить с" belongs to its own run: a whole-configuration run
// after it takes the offer away instead of leaving it to write old rows again.
void TestConfigRuns::wholeRunEndsATabsOffer()
{
    KktDevice device;
    DeviceLink inner(device);
    FailOnceLink link(inner, 180);
    Window w(&link);
    w.form->N1021Click();
    TFrameSet102 *page = w.form->Set102Frame;
    page->showTable(TableKind::Goods);
    page->findChild<QLineEdit *>(u"Edit3"_s)->setText(u"1"_s);
    page->findChild<QLineEdit *>(u"Edit4"_s)->setText(u"300"_s);
    w.prompts.expect(Kind::Error);
    QTest::mouseClick(page->findChild<QPushButton *>(u"Button3"_s), Qt::LeftButton);
    auto *offer = page->findChild<QPushButton *>(u"btnResumeRun"_s);
    QVERIFY(offer && offer->isVisible());
    QCOMPARE(offer->text(), u"Продолжить с 180"_s);

    w.prompts.expect(Kind::Information);
    w.trigger(u"actWriteAll"_s);
    QVERIFY2(w.prompts.verdict().isEmpty(), qPrintable(w.prompts.verdict()));
    QVERIFY(!offer->isVisible());
}

// After a failure the window offers a way out besides the way on.
void TestConfigRuns::closeAfterAFailure()
{
    KktDevice device;
    DeviceLink inner(device);
    FailOnceLink link(inner, 3); // a GSM parameter
    Window w(&link);
    w.prompts.expect(Kind::Error);
    w.trigger(u"actWriteAll"_s);
    QVERIFY2(w.prompts.verdict().isEmpty(), qPrintable(w.prompts.verdict()));
    TConfigRunWindow *progress = w.form->configRuns()->progressWindow();
    QVERIFY(progress->isVisible());
    auto *close = progress->findChild<QPushButton *>(u"btnCloseRun"_s);
    QVERIFY(close && close->isVisible());
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!progress->isVisible());
    QVERIFY(!w.form->session().busy());
}

KKT_GUI_TEST_MAIN(TestConfigRuns)
#include "TestConfigRuns.moc"
