#include "pages/FailureAdvice.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The advice under a failed run's message: found from the message's code,
// and only for a message that carries one.
class TestFailureAdvice : public QObject
{
    Q_OBJECT
private slots:
    void adviceForTheMessage_data();
    void adviceForTheMessage();
};

void TestFailureAdvice::adviceForTheMessage_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("begins"); // empty: no advice at all
    QTest::newRow("port") << u"Внимание!\r\nОшибка (1) при записи базы. Товар номер 180 !"_s
                          << u"Код 1 — порт не открылся"_s;
    QTest::newRow("checksum") << u"Внимание!\r\nОшибка (3) при записи строки клише с номером 2 !"_s
                              << u"Код 3 — ошибка контрольной суммы"_s;
    QTest::newRow("bad number") << u"Внимание!\r\nОшибка (5) при записи базы. Товар номер 1 !"_s
                                << u"Код 5 — цена или штрих-код не число"_s;
    QTest::newRow("busy 20") << u"Внимание!\r\nОшибка (20) при записи базы. Товар номер 1 !"_s
                             << u"Код 20 — касса занята"_s;
    QTest::newRow("busy 22") << u"Внимание!\r\nОшибка (22) при чтении базы. Товар номер 1 !"_s
                             << u"Код 22 — касса занята"_s;
    QTest::newRow("register's status") << u"Внимание!\r\nОшибка (66) при записи строки станции с номером 1 !"_s
                                       << u"Код 66 — статус, который вернула касса"_s;
    QTest::newRow("a check, no code") << u"ВНИМАНИЕ!\r\nНе выбран признак предмета расчета у группы номер 3!"_s
                                      << QString();
    QTest::newRow("GSM, no code") << u"ВНИМАНИЕ!\r\nНе удалось записать параметр IP адрес сервера!"_s << QString();
}

void TestFailureAdvice::adviceForTheMessage()
{
    QFETCH(QString, message);
    QFETCH(QString, begins);
    const QString advice = FailureAdvice::ForMessage(message);
    if (begins.isEmpty()) {
        QCOMPARE(advice, QString());
        return;
    }
    QVERIFY2(advice.startsWith(begins), qPrintable(advice));
    QVERIFY2(advice.contains(u"\r\nЧто делать: "_s), qPrintable(advice));
}

QTEST_GUILESS_MAIN(TestFailureAdvice)
#include "TestFailureAdvice.moc"
