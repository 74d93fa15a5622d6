// Nothing is lost when the program ends otherwise than by its window: the
// connection settings are written when applied; unsaved edits are copied a
// moment after each change and offered at the next start; a damaged copy is
// set aside with a message; a signal closes the window without a question.
#include "GridWindow.h"
#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "app/RecoveryCopy.h"
#include "app/SessionEnd.h"
#include "config/ConfigFile.h"
#include "config/ProgSett.h"
#include "config/RecoveryStore.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>

#include <csignal>
#include <functional>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

namespace {
const QString kDamaged = u"ВНИМАНИЕ!\r\nКопия несохранённых изменений повреждена и не восстановлена.\r\n"_s;

QString RecoveryFolder(const QString &root)
{
    return root + u"/recovery"_s;
}

// Types a goods name into row `row` and leaves the cell.
void TypeGoodsName(GridWindow &w, int row, const QString &text)
{
    TStringGrid *view = w.show(TableKind::Goods);
    view->selectCell(GoodsCol::Name, row);
    TypeText(view->cellEditor(), text);
    Press(Qt::Key_Return);
}

// Waits for the window's copy of unsaved edits; its path.
QString WaitForCopy(GridWindow &w)
{
    QSignalSpy written(w.form.recoveryCopy(), &TRecoveryCopy::written);
    if (!written.wait(5000) || !written.first().first().toBool())
        return QString();
    return w.form.recoveryCopy()->configPath();
}

using Damage = std::function<void(const RecoveryStore &)>;
} // namespace

Q_DECLARE_METATYPE(Damage)

class TestSessionEnd : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void unsavedEditsComeBackAtNextStart();
    void declinedCopyIsSetAside();
    void damagedCopyIsSetAside_data();
    void damagedCopyIsSetAside();
    void normalCloseRemovesCopy();
    void signalClosesWithoutQuestion_data();
    void signalClosesWithoutQuestion();
    void settingsWrittenWhenApplied();

private:
    std::unique_ptr<ScriptedPrompts> prompts;
};

void TestSessionEnd::init()
{
    prompts = std::make_unique<ScriptedPrompts>();
}

void TestSessionEnd::cleanup()
{
    const QString verdict = prompts->verdict();
    prompts.reset();
    QVERIFY2(verdict.isEmpty(), qPrintable(verdict));
}

// A change, a moment, the program gone as after a kill: the next start offers
// the copy with its time, "Да" brings the cells back as unsaved edits of the
// file they belonged to, and a save removes the copy.
void TestSessionEnd::unsavedEditsComeBackAtNextStart()
{
    QTemporaryDir root;
    const QString shop = root.filePath(u"shop.conf"_s);
    QString copy;
    {
        GridWindow w(root.path());
        w.form.recoveryCopy()->setDelay(50);
        prompts->answerFile(Kind::SaveFile, shop);
        QVERIFY(w.form.SaveConfiguration());
        w.activate();
        TypeGoodsName(w, 3, u"батон"_s);
        copy = WaitForCopy(w);
        QVERIFY(QFile::exists(copy));
        // In the program's own folder, never beside the user's file.
        QCOMPARE(QFileInfo(copy).absolutePath(), RecoveryFolder(root.path()));
    } // no close: the program was killed

    prompts->messages.clear();
    prompts->answerQuestion(true);
    GridWindow again(root.path());
    QCOMPARE(prompts->messages.size(), 1);
    static const QRegularExpression question(u"^Восстановить несохранённые изменения от \\d\\d:\\d\\d\\?$"_s);
    QVERIFY2(question.match(prompts->messages.first().text).hasMatch(), qPrintable(prompts->messages.first().text));
    QCOMPARE(again.grid(TableKind::Goods).cell(3, GoodsCol::Name), u"БАТОН"_s);
    QVERIFY2(again.form.windowTitle().endsWith(u" — shop.conf*"_s), qPrintable(again.form.windowTitle()));
    QVERIFY(!again.form.edits().isClean());

    prompts->answerFile(Kind::SaveFile, shop);
    QVERIFY(again.form.SaveConfiguration());
    QVERIFY(!QFile::exists(copy));
    TConfig saved;
    QVERIFY(LoadConfigFile(shop, saved));
    QCOMPARE(saved.Cfg102.PredmRasch[2].NameTov, u"БАТОН"_s);
}

// "Нет": the copy is not loaded and not offered again, yet kept aside.
void TestSessionEnd::declinedCopyIsSetAside()
{
    QTemporaryDir root;
    QString copy;
    {
        GridWindow w(root.path());
        w.form.recoveryCopy()->setDelay(50);
        TypeGoodsName(w, 1, u"кефир"_s);
        copy = WaitForCopy(w);
        QVERIFY(QFile::exists(copy));
    }
    prompts->answerQuestion(false);
    {
        GridWindow again(root.path());
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(again.grid(TableKind::Goods).cell(1, GoodsCol::Name), QString());
        QVERIFY(again.form.edits().isClean());
    }
    QVERIFY(!QFile::exists(copy));
    TConfig aside;
    QVERIFY(LoadConfigFile(RecoveryFolder(root.path()) + u"/unsaved-1-declined.conf"_s, aside));
    QCOMPARE(aside.Cfg102.PredmRasch[0].NameTov, u"КЕФИР"_s);
    prompts->messages.clear();
    GridWindow third(root.path());
    QVERIFY(prompts->messages.isEmpty());
}

void TestSessionEnd::damagedCopyIsSetAside_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("reason");
    QTest::newRow("record missing") << Damage([](const RecoveryStore &s) { QFile::remove(s.recordPath()); })
                                    << u"Нет записи о времени копии."_s;
    QTest::newRow("time unreadable") << Damage([](const RecoveryStore &s) {
        QFile record(s.recordPath());
        QVERIFY(record.open(QIODevice::WriteOnly));
        record.write("[RECOVERY]\r\nTime=вчера\r\n");
    }) << u"Нет записи о времени копии."_s;
    QTest::newRow("configuration missing")
        << Damage([](const RecoveryStore &s) { QFile::remove(s.configPath()); }) << u"Нет файла копии."_s;
    QTest::newRow("configuration cut short") << Damage([](const RecoveryStore &s) {
        QFile conf(s.configPath());
        QVERIFY(conf.resize(conf.size() / 2));
    }) << u"В копии нет "_s;
    QTest::newRow("configuration is a folder") << Damage([](const RecoveryStore &s) {
        QFile::remove(s.configPath());
        QVERIFY(QDir().mkpath(s.configPath()));
    }) << u"не является обычным файлом"_s;
}

// A copy that cannot be read is said so, set aside, and never offered again;
// the window starts as usual.
void TestSessionEnd::damagedCopyIsSetAside()
{
    QFETCH(Damage, damage);
    QFETCH(QString, reason);
    QTemporaryDir root;
    const RecoveryStore store(RecoveryFolder(root.path()), u"unsaved-1"_s);
    QVERIFY(QDir().mkpath(RecoveryFolder(root.path())));
    TConfig config;
    config.Cfg102.PredmRasch[0].NameTov = u"МОЛОКО"_s;
    QVERIFY(store.write(config, { QString(), QDateTime::currentDateTime() }));
    damage(store);

    prompts->expect(Kind::Information);
    {
        GridWindow w(root.path());
        QCOMPARE(prompts->messages.size(), 1);
        const QString text = prompts->messages.first().text;
        QVERIFY2(text.startsWith(kDamaged) && text.contains(reason), qPrintable(text));
        QCOMPARE(w.grid(TableKind::Goods).cell(1, GoodsCol::Name), QString());
        QVERIFY(w.form.edits().isClean());
    }
    QVERIFY(!store.exists());
    QVERIFY(RecoveryStore(RecoveryFolder(root.path()), u"unsaved-1-damaged"_s).exists());
    prompts->messages.clear();
    GridWindow again(root.path());
    QVERIFY(prompts->messages.isEmpty());
}

// Closed as usual, with the edits let go: no copy is left to offer.
void TestSessionEnd::normalCloseRemovesCopy()
{
    QTemporaryDir root;
    {
        GridWindow w(root.path());
        w.form.recoveryCopy()->setDelay(50);
        TypeGoodsName(w, 2, u"сыр"_s);
        const QString copy = WaitForCopy(w);
        QVERIFY(QFile::exists(copy));
        prompts->answerSaveChanges(Prompts::SaveAnswer::Discard);
        QVERIFY(w.form.close());
        QVERIFY(!QFile::exists(copy));
    }
    prompts->messages.clear();
    GridWindow again(root.path());
    QVERIFY(prompts->messages.isEmpty());
}

void TestSessionEnd::signalClosesWithoutQuestion_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

// A kill or a logout with unsaved edits: no question waits for nobody, the
// settings are written, the edits are copied at once for the next start.
void TestSessionEnd::signalClosesWithoutQuestion()
{
    QFETCH(int, signal);
    QTemporaryDir root;
    {
        GridWindow w(root.path());
        TSessionEnd end;
        QVERIFY(end.watchesSignals());
        w.form.WatchSessionEnd(end);
        w.form.StructSett.PortSett.Speed = 57600;
        TypeGoodsName(w, 4, u"чай"_s);
        const QString copy = w.form.recoveryCopy()->configPath();
        QVERIFY(!QFile::exists(copy)); // the copy's moment has not come yet
        std::raise(signal);
        QTRY_VERIFY(!w.form.isVisible());
        QVERIFY(QFile::exists(copy));
        TStructSetting settings;
        QVERIFY(LoadIniSettings(root.filePath(u"ProgSett.ini"_s), settings));
        QCOMPARE(settings.PortSett.Speed, 57600u);
        QCOMPARE(settings.PortSett.Name, u"COM1"_s);
    }
    prompts->answerQuestion(true);
    GridWindow again(root.path());
    QCOMPARE(again.grid(TableKind::Goods).cell(4, GoodsCol::Name), u"ЧАЙ"_s);
}

// "Применить" writes ProgSett.ini at once: a program killed afterwards starts
// with the port chosen.
void TestSessionEnd::settingsWrittenWhenApplied()
{
    GridWindow w;
    WhenModal([](QWidget *dialog) {
        auto *speed = dialog->findChild<QComboBox *>(u"ComboBox2"_s);
        QVERIFY(speed);
        speed->setCurrentIndex(speed->findText(u"38400"_s));
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"Button2"_s), Qt::LeftButton);
    });
    w.child<QAction>(u"N4"_s)->trigger();
    TStructSetting settings;
    QVERIFY(LoadIniSettings(w.root + u"/ProgSett.ini"_s, settings));
    QCOMPARE(settings.PortSett.Name, u"COM1"_s);
    QCOMPARE(settings.PortSett.Speed, 38400u);
    QVERIFY(w.form.isVisible());
}

KKT_GUI_TEST_MAIN(TestSessionEnd)
#include "TestSessionEnd.moc"
