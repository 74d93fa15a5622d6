#include "app/SettForm.h"

#include "app/KktApplication.h"
#include "config/Conversion.h"
#include "kkt/ComPort.h"
#include "ui/Prompts.h"

#include "ui_SettForm.h"

#include "kkt/SerialLinkFactory.h"

#include <QKeyEvent>
#include <QProgressBar>
#include <QThread>

using namespace Qt::StringLiterals;

namespace {
// The time-out enables "Применить" only as a positive number: a negative one
// would be taken over as a wait of weeks.
bool IsUsableTimeOut(const QString &text)
{
    qint32 value = 0;
    return TryStrToInt(text, value) && value > 0;
}
} // namespace

TFormSett::TFormSett(TStructSetting &structSett, const TArrayCom &arrCom, KktChannel &channel, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
    , ui(std::make_unique<Ui::TFormSett>())
    , StructSett(structSett)
    , ArrCom(arrCom)
    , Channel(channel)
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->Edit1->installEventFilter(this);
    ui->Edit2->installEventFilter(this);
    // activated: a choice of the user; a selection made by the show step is no change.
    connect(ui->ComboBox1, &QComboBox::activated, this, &TFormSett::ComboBox1Change);
    connect(ui->ComboBox2, &QComboBox::activated, this, &TFormSett::ComboBox2Change);
    connect(ui->Edit1, &QLineEdit::textChanged, this, &TFormSett::Edit1Change);
    connect(ui->Edit2, &QLineEdit::textChanged, this, &TFormSett::Edit2Change);
    connect(ui->Button2, &QPushButton::clicked, this, &TFormSett::Button2Click);
    connect(ui->Button1, &QPushButton::clicked, this, &TFormSett::Button1Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TFormSett::Button3Click);
    connect(ui->btnFindKkt, &QPushButton::clicked, this, &TFormSett::btnFindKktClick);
    m_searchLinks = [] { return MakeSerialLink(); };
}

TFormSett::~TFormSett()
{
    StopSearch();
}

void TFormSett::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFormSett::FormShow()
{
    ui->ComboBox1->clear();
    ui->ComboBox1->addItems(ArrCom);
    ui->ComboBox1->setCurrentIndex(ArrCom.indexOf(StructSett.PortSett.Name));

    ui->ComboBox2->setCurrentIndex(ui->ComboBox2->findText(QString::number(StructSett.PortSett.Speed)));

    ui->Edit1->setText(QString::number(StructSett.PortSett.TimeOut));
    ui->Edit2->setText(QString::number(StructSett.NumKKT));

    const QString timeOut = ui->Edit1->text();
    if (ui->ComboBox1->currentIndex() >= 0 && ui->ComboBox2->currentIndex() >= 0 && !timeOut.isEmpty()
        && timeOut != u"0"_s)
        ui->Button2->setFocus();
    else
        ui->Button2->setEnabled(false);
}

void TFormSett::ComboBox1Change()
{
    ui->Button2->setEnabled(true);
}

void TFormSett::ComboBox2Change()
{
    ui->Button2->setEnabled(true);
}

void TFormSett::Edit1Change(const QString &text)
{
    ui->Button2->setEnabled(IsUsableTimeOut(text));
}

void TFormSett::Edit2Change(const QString &text)
{
    ui->Button2->setEnabled(!text.isEmpty());
    ui->Button3->setEnabled(!text.isEmpty());
}

void TFormSett::Button2Click()
{
    StructSett.PortSett.Handle = 0;
    // Taken over one by one: a value that is no number stops here, with the
    // fields before it already replaced, and the dialog stays open.
    try {
        StructSett.PortSett.Name = ui->ComboBox1->currentText();
        StructSett.PortSett.Speed = StrToNonNegative(ui->ComboBox2->currentText());
        StructSett.PortSett.TimeOut = StrToNonNegative(ui->Edit1->text());
        StructSett.NumKKT = StrToInt(ui->Edit2->text());
    } catch (const EConvertError &e) {
        // Reported here: an exception must not leave a slot through Qt's signal delivery.
        KktApplication::ShowException(e, this);
        return;
    }
    accept();
}

void TFormSett::Button1Click()
{
    reject();
}

void TFormSett::Button3Click()
{
    KktConnection conn;
    conn.Name = ui->ComboBox1->currentText();
    try {
        conn.Speed = StrToNonNegative(ui->ComboBox2->currentText());
        conn.TimeOut = StrToNonNegative(ui->Edit1->text());
        conn.NumKKT = StrToInt(ui->Edit2->text());
    } catch (const EConvertError &) {
        Prompts::instance().information(this, u"ВНИМАНИЕ!\r\nНеккоректный параметр!"_s);
        return;
    }
    conn.Pause = 0;
    TTestLinkAnswer answer;
    const bool ok = RequestTestLink(Channel, conn, answer) == KktOutcome::Ok;
    emit linkChecked(conn, ok);
    if (ok)
        Prompts::instance().information(this, u"Связь с ККТ установленна!"_s);
    else
        Prompts::instance().warning(this, u"ВНИМАНИЕ!\r\nНе удалось подключиться к ККТ!"_s);
}

void TFormSett::btnFindKktClick()
{
    if (m_search) {
        m_cancel = true;
        ui->btnFindKkt->setEnabled(false); // until the try under way ends
        return;
    }
    qint32 numKkt = 0;
    try {
        numKkt = StrToInt(ui->Edit2->text());
    } catch (const EConvertError &) {
        Prompts::instance().information(this, u"ВНИМАНИЕ!\r\nНеккоректный параметр!"_s);
        return;
    }
    QStringList ports;
    for (int i = 0; i < ui->ComboBox1->count(); ++i)
        ports << ui->ComboBox1->itemText(i);
    if (ports.isEmpty()) {
        Prompts::instance().information(this, u"ВНИМАНИЕ!\r\nНе найдено ни одного COM порта: искать ККТ негде."_s);
        return;
    }
    m_cancel = false;
    SetSearching(true);
    // The tries block on the line for up to 400 ms each: off the window's thread,
    // which shows the progress and takes "Стоп" meanwhile.
    m_search = QThread::create([this, ports, numKkt, makeLink = m_searchLinks] {
        const KktSearch search(makeLink);
        const KktSearchResult result = search.run(ports, numKkt, m_cancel, [this](const KktSearchStep &step) {
            QMetaObject::invokeMethod(
                this, [this, step] { SearchStep(step); }, Qt::QueuedConnection);
        });
        QMetaObject::invokeMethod(
            this, [this, result, ports, numKkt] { SearchEnded(result, ports, numKkt); }, Qt::QueuedConnection);
    });
    m_search->start();
}

void TFormSett::SearchStep(const KktSearchStep &step)
{
    ui->FindProgress->setRange(0, step.total);
    ui->FindProgress->setValue(step.index);
    ui->FindProgress->setFormat(u"%1, %2"_s.arg(step.port).arg(step.speed));
}

void TFormSett::SearchEnded(const KktSearchResult &result, const QStringList &ports, qint32 numKkt)
{
    if (!m_search)
        return; // ended by the dialog's closing
    StopSearch();
    if (result.cancelled)
        return;
    if (!result.found) {
        QStringList speeds;
        for (quint32 speed : KktSearch::SpeedOrder())
            speeds << QString::number(speed);
        Prompts::instance().information(this,
            u"ВНИМАНИЕ!\r\nККТ не найдена.\r\nПроверены порты: %1\r\nна скоростях %2 бод."_s.arg(
                ports.join(u", "_s), speeds.join(u", "_s)));
        return;
    }
    ui->ComboBox1->setCurrentIndex(ui->ComboBox1->findText(result.port));
    ui->ComboBox2->setCurrentIndex(ui->ComboBox2->findText(QString::number(result.speed)));
    ui->Button2->setEnabled(IsUsableTimeOut(ui->Edit1->text()));
    KktConnection conn;
    conn.Name = result.port;
    conn.Speed = result.speed;
    conn.NumKKT = numKkt;
    emit linkChecked(conn, true);
    Prompts::instance().information(
        this, u"ККТ найдена: порт %1, скорость %2 бод."_s.arg(result.port).arg(result.speed));
}

void TFormSett::SetSearching(bool on)
{
    // While it searches, nothing else may use the ports or take the values
    // over; afterwards each control is as it was.
    const std::initializer_list<QWidget *> controls { ui->ComboBox1, ui->ComboBox2, ui->Edit1, ui->Edit2, ui->Button3,
        ui->Button2 };
    if (on)
        m_enabledBefore.clear();
    int i = 0;
    for (QWidget *control : controls) {
        if (on)
            m_enabledBefore << control->isEnabled();
        control->setEnabled(!on && m_enabledBefore.value(i++, true));
    }
    ui->btnFindKkt->setEnabled(true);
    ui->btnFindKkt->setText(on ? u"Стоп"_s : u"Найти ККТ"_s);
    ui->FindProgress->setVisible(on);
    ui->FindProgress->setValue(0);
}

void TFormSett::StopSearch()
{
    if (!m_search)
        return;
    m_cancel = true;
    m_search->wait();
    delete m_search;
    m_search = nullptr;
    SetSearching(false);
}

void TFormSett::done(int result)
{
    // Closing ends the search first: its thread must not outlive the dialog.
    StopSearch();
    QDialog::done(result);
}

bool TFormSett::Edit1KeyPress(const QKeyEvent &key)
{
    // Only typed characters are filtered: editing and navigation keys, Enter
    // for "Применить" and shortcuts such as Ctrl+V carry no printable text.
    const QString text = key.text();
    if (text.size() != 1 || !text[0].isPrint() || (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    return !(text[0] >= u'0' && text[0] <= u'9');
}

bool TFormSett::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == ui->Edit1 || watched == ui->Edit2) && event->type() == QEvent::KeyPress
        && Edit1KeyPress(*static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}
