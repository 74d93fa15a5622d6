#include "GuiTest.h"

#include "app/VersionForm.h"
#include "app/WaitForm.h"
#include "app/pages/Set102Frame.h"
#include "app/service/LogView.h"
#include "app/service/UDebugKKT.h"
#include "ui/Contrast.h"

#include <QLabel>
#include <QPalette>
#include <QStyle>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
// A dark palette as desktop themes give it: light text on near-black.
QPalette DarkPalette()
{
    QPalette dark;
    const QColor window(45, 45, 48), base(30, 30, 30), text(230, 230, 230);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    return dark;
}

// A text colour drawn on a background, named for the failure message.
struct Pair
{
    QString what;
    QColor text;
    QColor background;
};

QList<Pair> LabelPairs(const QWidget &window, const QStringList &names)
{
    QList<Pair> pairs;
    for (const QString &name : names) {
        const auto *label = window.findChild<QLabel *>(name);
        if (!label)
            qFatal("no label %s", qPrintable(name));
        pairs.append({ window.objectName() + u"/"_s + name, label->palette().color(QPalette::WindowText),
            label->palette().color(QPalette::Window) });
    }
    return pairs;
}
} // namespace

// Every colour the program picks itself must read on the user's palette,
// light or dark: a contrast of 4.5:1 at least (WCAG AA for normal text).
class TestColours : public QObject
{
    Q_OBJECT
private slots:
    void rule_data();
    void rule();
    void programColours_data();
    void programColours();
};

void TestColours::rule_data()
{
    QTest::addColumn<QColor>("wanted");
    QTest::newRow("request red") << QColor(255, 0, 0);
    QTest::newRow("answer green") << QColor(0, 128, 0);
    QTest::newRow("warning dark red") << QColor(128, 0, 0);
    QTest::newRow("navy") << QColor(0, 0, 128);
    QTest::newRow("middle grey") << QColor(119, 119, 119);
}

void TestColours::rule()
{
    QFETCH(QColor, wanted);
    QCOMPARE(Contrast::Ratio(Qt::black, Qt::white), 21.0);
    QCOMPARE(Contrast::Ratio(wanted, wanted), 1.0);
    // Every grey from black to white, and the background colours themes use.
    QList<QColor> backgrounds;
    for (int v = 0; v <= 255; v += 5)
        backgrounds << QColor(v, v, v);
    backgrounds << QColor(0x2b, 0x57, 0x9a) << QColor(0xff, 0xff, 0xe1) << QColor(0x31, 0x36, 0x3b);
    for (const QColor &background : backgrounds) {
        const QColor shown = Contrast::ReadableOn(wanted, background);
        QVERIFY2(Contrast::Ratio(shown, background) >= Contrast::kNormalText,
            qPrintable(u"%1 on %2 shown as %3"_s.arg(wanted.name(), background.name(), shown.name())));
        // A colour that reads already stays as it is.
        if (Contrast::Ratio(wanted, background) >= Contrast::kNormalText)
            QCOMPARE(shown, wanted);
    }
}

void TestColours::programColours_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light palette") << false;
    QTest::newRow("dark palette") << true;
}

void TestColours::programColours()
{
    QFETCH(bool, dark);
    const QPalette before = QApplication::palette();
    QApplication::setPalette(dark ? DarkPalette() : QApplication::style()->standardPalette());

    QList<Pair> pairs;
    // The exchange log: red requests, green answers, the program's own line.
    TfrmDebugKKM log;
    const LogView *view = log.richEdit();
    const QColor base = view->palette().color(QPalette::Base);
    for (const QColor &colour : { QColor(255, 0, 0), QColor(0, 128, 0), QColor() })
        pairs.append(
            { u"exchange log "_s + (colour.isValid() ? colour.name() : u"note"_s), view->shownColour(colour), base });
    // The goods tab's warnings in dark red.
    TFrameSet102 page;
    page.setObjectName(u"Set102Frame"_s);
    pairs += LabelPairs(page, { u"Label12"_s, u"Label13"_s });
    // The version and wait boxes: fixed colours of their own on fixed white.
    TFormVersion version(u"1.0.0.1"_s);
    version.setObjectName(u"FormVersion"_s);
    pairs += LabelPairs(version, { u"Label1"_s, u"Label2"_s, u"Panel3"_s });
    auto *wait = new TFormWait;
    wait->setObjectName(u"FormWait"_s);
    pairs += LabelPairs(*wait, { u"Label1"_s, u"Label2"_s });
    delete wait;

    QApplication::setPalette(before);
    for (const Pair &pair : pairs) {
        const double ratio = Contrast::Ratio(pair.text, pair.background);
        QVERIFY2(ratio >= Contrast::kNormalText,
            qPrintable(u"%1: %2 on %3, %4:1"_s.arg(pair.what, pair.text.name(), pair.background.name())
                           .arg(ratio, 0, 'f', 2)));
    }
}

KKT_GUI_TEST_MAIN(TestColours)
#include "TestColours.moc"
