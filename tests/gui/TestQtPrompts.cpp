#include "GuiTest.h"

#include "ui/DialogFolders.h"
#include "ui/QtPrompts.h"

#include "pages/TableLayout.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// Types a name into the real file dialog and presses Enter, as a person would.
// A message box the dialog opens over itself (an overwrite question, "file not
// found") is noted and closed, so that the test never waits for a person.
struct FileDialogDriver
{
    QString typed;
    QStringList nameFilters;
    QString nestedMessage;

    void arm()
    {
        WhenModal([this](QWidget *widget) {
            auto *dialog = qobject_cast<QFileDialog *>(widget);
            QVERIFY(dialog);
            nameFilters = dialog->nameFilters();
            auto *name = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
            QVERIFY(name);
            name->setText(typed);
            QTimer::singleShot(200, dialog, [this] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    nestedMessage = box->text();
                    box->reject();
                }
            });
            QTest::keyClick(name, Qt::Key_Return);
        });
    }
};
} // namespace

class TestQtPrompts : public QObject
{
    Q_OBJECT
private slots:
    void nameFilters_data();
    void nameFilters();
    void defaultSuffix_data();
    void defaultSuffix();
    void fileDialogs_data();
    void fileDialogs();
    void messageBoxes_data();
    void messageBoxes();
    void storeCheck_data();
    void storeCheck();
    void fileDialogOpensWhereTheLastOfItsKindWas();
    void qtTextsInRussian();
};

void TestQtPrompts::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("patterns already in the text")
        << u"Байлы конфигурации (*.conf)|*.conf"_s << QStringList { u"Байлы конфигурации (*.conf)"_s };
    QTest::newRow("text without patterns") << u"Все файлы|*.*"_s << QStringList { u"Все файлы (*.*)"_s };
    QTest::newRow("two pairs") << u"Файлы БД (*.db102)|*.db102|Все файлы|*.*"_s
                               << QStringList { u"Файлы БД (*.db102)"_s, u"Все файлы (*.*)"_s };
    QTest::newRow("several patterns") << u"Таблицы|*.xls;*.xlsx"_s << QStringList { u"Таблицы (*.xls *.xlsx)"_s };
    QTest::newRow("other parentheses in the text")
        << u"Файлы (старые)|*.old"_s << QStringList { u"Файлы (старые) (*.old)"_s };
    QTest::newRow("text of other patterns") << u"Файлы (*.1cdb)|*.xls"_s << QStringList { u"Файлы (*.1cdb) (*.xls)"_s };
    QTest::newRow("no filter") << QString() << QStringList();
}

void TestQtPrompts::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(QtPrompts::NameFilters(filter), expected);
}

void TestQtPrompts::defaultSuffix_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no extension") << u"/data/kassa"_s << u"conf"_s << u"/data/kassa.conf"_s;
    QTest::newRow("same extension") << u"/data/kassa.conf"_s << u"conf"_s << u"/data/kassa.conf"_s;
    QTest::newRow("other extension") << u"/data/kassa.txt"_s << u"conf"_s << u"/data/kassa.txt"_s;
    QTest::newRow("dot in a folder name only") << u"/data/v1.2/kassa"_s << u"db102"_s << u"/data/v1.2/kassa.db102"_s;
    QTest::newRow("no default extension") << u"/data/kassa"_s << QString() << u"/data/kassa"_s;
    QTest::newRow("cancelled") << QString() << u"conf"_s << QString();
}

void TestQtPrompts::defaultSuffix()
{
    QFETCH(QString, name);
    QFETCH(QString, suffix);
    QFETCH(QString, expected);
    QCOMPARE(QtPrompts::WithDefaultSuffix(name, suffix), expected);
}

void TestQtPrompts::fileDialogs_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");

    QTest::newRow("open a missing file") << true << QString() << u"new"_s << u"new.conf"_s;
    QTest::newRow("open an existing file") << true << u"old.conf"_s << u"old.conf"_s << u"old.conf"_s;
    QTest::newRow("save a new file") << false << QString() << u"new"_s << u"new.conf"_s;
    QTest::newRow("save over a file without asking") << false << u"old.conf"_s << u"old"_s << u"old.conf"_s;
}

void TestQtPrompts::fileDialogs()
{
    QFETCH(bool, open);
    QFETCH(QString, existing);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    QTemporaryDir dir;
    if (!existing.isEmpty()) {
        QFile file(dir.filePath(existing));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[GSM]\r\n") == 7);
    }
    const QString filter = u"Байлы конфигурации (*.conf)|*.conf"_s;
    FileDialogDriver driver;
    driver.typed = dir.filePath(typed);
    driver.arm();
    QtPrompts prompts;
    const QString name
        = open ? prompts.openFileName(nullptr, filter, u"conf"_s) : prompts.saveFileName(nullptr, filter, u"conf"_s);
    QCOMPARE(driver.nestedMessage, QString());
    QCOMPARE(driver.nameFilters, QStringList { u"Байлы конфигурации (*.conf)"_s });
    QCOMPARE(name, dir.filePath(chosen));
    // Choosing a name touches no file.
    QCOMPARE(QFile::exists(name), !existing.isEmpty());
}

void TestQtPrompts::messageBoxes_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<QString>("detail"); // an error's informative text

    using K = Prompts::Kind;
    QTest::newRow("information") << int(K::Information) << int(QMessageBox::Information) << u"Информация"_s
                                 << QStringList { u"OK"_s } << u"OK"_s << QString();
    QTest::newRow("error") << int(K::Error) << int(QMessageBox::Critical) << u"Ошибка"_s << QStringList { u"OK"_s }
                           << u"OK"_s << QString();
    // What the failure means and what to do, under its unchanged text.
    QTest::newRow("error with its advice")
        << int(K::Error) << int(QMessageBox::Critical) << u"Ошибка"_s << QStringList { u"OK"_s } << u"OK"_s
        << u"Код 2 — нет ответа.\r\nЧто делать: проверьте кабель."_s;
    QTest::newRow("confirmation with OK only") << int(K::Warning) << int(QMessageBox::Question) << u"Подтверждение"_s
                                               << QStringList { u"OK"_s } << u"OK"_s << QString();
    // Questions guard destructive steps: Enter alone says no.
    QTest::newRow("question") << int(K::Question) << int(QMessageBox::Question) << u"Подтверждение"_s
                              << QStringList { u"Да"_s, u"Нет"_s } << u"Нет"_s << QString();
}

// Opens the real box of each kind and reads its look before closing it.
void TestQtPrompts::messageBoxes()
{
    QFETCH(int, kind);
    QFETCH(int, icon);
    QFETCH(QString, title);
    QFETCH(QStringList, buttons);
    QFETCH(QString, defaultButton);
    QFETCH(QString, detail);
    int seenIcon = -1;
    QString seenTitle;
    QString seenText;
    QString seenDetail;
    QStringList seenButtons;
    QString seenDefault;
    bool enterAnswered = false;
    WhenModal([&](QWidget *widget) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        QVERIFY(box);
        for (QPushButton *button : box->findChildren<QPushButton *>())
            if (button->isDefault())
                seenDefault = button->text().remove(u'&');
        seenIcon = int(box->icon());
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenDetail = box->informativeText();
        for (QAbstractButton *button : box->buttons())
            seenButtons << button->text().remove(u'&');
        // Enter, as a person pressing it by habit.
        QTest::keyClick(box, Qt::Key_Return);
        enterAnswered = !box->isVisible();
        box->reject();
    });
    QtPrompts prompts;
    const QString text = u"ВНИМАНИЕ!\r\nТекст"_s;
    switch (Prompts::Kind(kind)) {
    case Prompts::Kind::Information:
        prompts.information(nullptr, text);
        break;
    case Prompts::Kind::Error:
        if (detail.isEmpty())
            prompts.error(nullptr, text);
        else
            prompts.detailedError(nullptr, text, detail);
        break;
    case Prompts::Kind::Warning:
        prompts.warning(nullptr, text);
        break;
    default:
        QVERIFY(!prompts.question(nullptr, text)); // Enter gave the default: no
        break;
    }
    QVERIFY(enterAnswered);
    QCOMPARE(seenDefault, defaultButton);
    QCOMPARE(seenIcon, icon);
    QCOMPARE(seenTitle, title);
    QCOMPARE(seenText, u"ВНИМАНИЕ!\nТекст"_s);
    QCOMPARE(seenDetail, QString(detail).replace(u"\r\n"_s, u"\n"_s));
    seenButtons.sort();
    buttons.sort();
    QCOMPARE(seenButtons, buttons);
}

// "Проверка перед записью": the list as the user reads it; Enter and Escape
// both cancel (the safe answer is the default), only the button writes.
void TestQtPrompts::storeCheck_data()
{
    QTest::addColumn<QString>("act"); // "enter", "escape" or "write"
    QTest::addColumn<bool>("writes");
    QTest::newRow("Enter: the default, Отмена") << u"enter"_s << false;
    QTest::newRow("Escape") << u"escape"_s << false;
    QTest::newRow("Записать как есть") << u"write"_s << true;
}

void TestQtPrompts::storeCheck()
{
    QFETCH(QString, act);
    QFETCH(bool, writes);
    const QList<StoreIssue> issues {
        { TableKind::Goods, 7, GoodsCol::Name, u"Чай чёрный"_s, u"ЧАЙ Ч РНЫЙ"_s, u"символы, которых нет в ККТ: «Ё»"_s,
            StoreLevel::Changed },
        { TableKind::Gsm, 3, GsmCol::Value, u"77909"_s, u"77909"_s, u"порт должен быть от 1 до 65535"_s,
            StoreLevel::Changed },
    };
    QStringList row0, row1;
    WhenModal([&](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), u"Проверка перед записью"_s);
        auto *table = dialog->findChild<QTableWidget *>(u"tblStoreIssues"_s);
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 2);
        for (int col = 0; col < table->columnCount(); ++col) {
            row0 << table->item(0, col)->text();
            row1 << table->item(1, col)->text();
        }
        if (act == u"write"_s)
            QTest::mouseClick(dialog->findChild<QAbstractButton *>(u"btnWriteAsIs"_s), Qt::LeftButton);
        else
            QTest::keyClick(dialog, act == u"enter"_s ? Qt::Key_Return : Qt::Key_Escape);
    });
    QtPrompts prompts;
    QCOMPARE(prompts.confirmStore(nullptr, issues), writes);
    QCOMPARE(row0,
        (QStringList { u"Предмет расчета"_s, u"7"_s, u"Наименование"_s, u"Чай чёрный"_s, u"ЧАЙ Ч РНЫЙ"_s,
            u"символы, которых нет в ККТ: «Ё»"_s }));
    QCOMPARE(row1.mid(0, 3), (QStringList { u"Параметры GSM"_s, u"3"_s, u"Порт сервера ОФД"_s }));
}

void TestQtPrompts::fileDialogOpensWhereTheLastOfItsKindWas()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(u"configs"_s));
    DialogFolders::SetStore(dir.filePath(u"Window.ini"_s));
    const QString filter = u"Байлы конфигурации (*.conf)|*.conf"_s;
    QtPrompts prompts;
    FileDialogDriver first;
    first.typed = dir.filePath(u"configs/kassa"_s);
    first.arm();
    QCOMPARE(prompts.saveFileName(nullptr, filter, u"conf"_s), dir.filePath(u"configs/kassa.conf"_s));

    // A goods file chosen elsewhere meanwhile: Qt itself would open the next
    // dialog where that one was; a configuration's opens where the last
    // configuration was.
    QVERIFY(QDir(dir.path()).mkpath(u"goods"_s));
    FileDialogDriver goods;
    goods.typed = dir.filePath(u"goods/base"_s);
    goods.arm();
    QCOMPARE(prompts.saveFileName(nullptr, u"Файлы БД (*.db102)|*.db102"_s, u"db102"_s),
        dir.filePath(u"goods/base.db102"_s));
    QString shownFolder;
    WhenModal([&](QWidget *widget) { shownFolder = static_cast<QFileDialog *>(widget)->directory().absolutePath(); });
    QCOMPARE(prompts.openFileName(nullptr, filter, u"conf"_s), QString());
    QCOMPARE(shownFolder, dir.filePath(u"configs"_s));
    QCOMPARE(DialogFolders::Last(u"db102"_s), dir.filePath(u"goods"_s));

    // A folder removed since is no place to open in.
    QVERIFY(QDir(dir.filePath(u"configs"_s)).removeRecursively());
    QCOMPARE(DialogFolders::Last(u"conf"_s), QString());
    DialogFolders::SetStore(QString());
}

void TestQtPrompts::qtTextsInRussian()
{
    // The program's application loads Qt's own Russian texts (Debian's qt6-translations-l10n).
    QString cancel, lookIn;
    WhenModal([&](QWidget *widget) {
        for (QAbstractButton *button : widget->findChildren<QAbstractButton *>())
            if (button->text().remove(u'&').compare(u"Cancel"_s, Qt::CaseInsensitive) == 0
                || button->text().remove(u'&') == u"Отмена"_s)
                cancel = button->text().remove(u'&');
        if (auto *label = widget->findChild<QLabel *>(u"lookInLabel"_s))
            lookIn = label->text().remove(u'&');
    });
    QtPrompts prompts;
    QCOMPARE(prompts.openFileName(nullptr, u"Байлы конфигурации (*.conf)|*.conf"_s, u"conf"_s), QString());
    QCOMPARE(cancel, u"Отмена"_s);
    QVERIFY2(!lookIn.isEmpty() && lookIn != u"Look in:"_s, qPrintable(lookIn));

    // Without the translations the program runs on with Qt's English texts.
    auto *app = static_cast<KktApplication *>(QCoreApplication::instance());
    QTemporaryDir empty;
    QVERIFY(!app->LoadQtTranslations(empty.path()));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), u"Отмена"_s);
}

KKT_GUI_TEST_MAIN(TestQtPrompts)
#include "TestQtPrompts.moc"
