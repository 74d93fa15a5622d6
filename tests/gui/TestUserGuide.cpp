#include "GuiTest.h"
#include "ScriptedPrompts.h"

#include "app/UserGuide.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QUrl>

using namespace Qt::StringLiterals;
using Kind = Prompts::Kind;

// Stands for the browser: records what it was asked to show.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestUserGuide : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void foundWhereTheProgramIs_data();
    void foundWhereTheProgramIs();
    void f1OpensTheGuide();
    void missingGuideIsSaid();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    UrlRecorder m_browser;
};

void TestUserGuide::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_prompts.reset(); // the one before uninstalls itself first
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_browser.opened.clear();
    QDesktopServices::setUrlHandler(u"file"_s, &m_browser, "open");
}

void TestUserGuide::cleanup()
{
    QDesktopServices::unsetUrlHandler(u"file"_s);
    QVERIFY2(m_prompts->verdict().isEmpty(), qPrintable(m_prompts->verdict()));
}

void TestUserGuide::foundWhereTheProgramIs_data()
{
    QTest::addColumn<QString>("program"); // the program's folder in the temporary one
    QTest::addColumn<QString>("guide"); // where the guide is put, and found
    QTest::newRow("installed under a prefix") << u"usr/bin"_s << u"usr/share/doc/kktconf/guide.html"_s;
    QTest::newRow("build tree") << u"build/bin"_s << u"build/share/doc/kktconf/guide.html"_s;
    QTest::newRow("portable copy") << u"kktconf"_s << u"kktconf/doc/guide.html"_s;
}

void TestUserGuide::foundWhereTheProgramIs()
{
    QFETCH(QString, program);
    QFETCH(QString, guide);
    const QDir root(m_dir->path());
    QVERIFY(root.mkpath(program));
    QVERIFY(root.mkpath(QFileInfo(guide).path()));
    QFile page(root.filePath(guide));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.close();
    QCOMPARE(UserGuide::Find(root.filePath(program)), root.filePath(guide));

    UserGuide::Open(nullptr, root.filePath(program));
    QCOMPARE(m_browser.opened, QList<QUrl> { QUrl::fromLocalFile(root.filePath(guide)) });
}

// F1 anywhere in the window: the guide of this very program, or the message.
void TestUserGuide::f1OpensTheGuide()
{
    QMainWindow window;
    UserGuide::AddMenu(window.menuBar(), &window);
    auto *action = window.findChild<QAction *>(u"ActionGuide"_s);
    QVERIFY(action);
    QCOMPARE(action->text(), u"Руководство"_s);
    QCOMPARE(action->shortcut(), QKeySequence(Qt::Key_F1));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString expected = UserGuide::Find(QCoreApplication::applicationDirPath());
    if (expected.isEmpty())
        m_prompts->expect(Kind::Information);
    QTest::keyClick(&window, Qt::Key_F1);
    if (expected.isEmpty())
        QVERIFY(m_prompts->messages.constFirst().text.contains(u"Руководство пользователя не найдено."_s));
    else
        QCOMPARE(m_browser.opened, QList<QUrl> { QUrl::fromLocalFile(expected) });
}

void TestUserGuide::missingGuideIsSaid()
{
    const QString nowhere = m_dir->filePath(u"bin"_s);
    if (!UserGuide::Find(nowhere).isEmpty())
        QSKIP("the guide is installed on this system");
    m_prompts->expect(Kind::Information);
    UserGuide::Open(nullptr, nowhere);
    QVERIFY(m_browser.opened.isEmpty());
    const QString text = m_prompts->messages.constFirst().text;
    QVERIFY2(text.startsWith(u"ВНИМАНИЕ!\r\nРуководство пользователя не найдено.\r\n"_s), qPrintable(text));
    // Every place looked in is named, so that a person can put the file there.
    for (const QString &place : UserGuide::Places(nowhere))
        QVERIFY2(text.contains(QDir::toNativeSeparators(place)), qPrintable(text));
}

KKT_GUI_TEST_MAIN(TestUserGuide)
#include "TestUserGuide.moc"
