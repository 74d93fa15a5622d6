#include "app/pages/GsmSettingFrame.h"

#include "app/KktSession.h"
#include "app/pages/PageTitle.h"
#include "pages/Grids102.h"
#include "pages/GsmRun.h"
#include "pages/TableLayout.h"
#include "ui/FindBar.h"
#include "ui/Prompts.h"
#include "ui/StringGrid.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
// What to fill in for a GSM module and for a Wi-Fi module. The misspelt
// "Intenet" is the page's text as users know it.
const QStringList &HelpLines()
{
    static const QStringList lines {
        QString(),
        u"Для ККТ с GSM модулем заполняются следующие поля:"_s,
        u" * PIN-код сим карты"_s,
        u" * APN строка для подключения к Internet. Уточняйте у оператора сотовой связи."_s,
        u" * Логин для подключения к Internet. Уточняйте у оператора сотовой связи."_s,
        u" * Пароль для подключения к Intenet. Уточняйте у оператора сотовой связи."_s,
        QString(),
        u"Для ККТ с Wi-Fi модулем заполняются следующие поля:"_s,
        u" * PIN-код сим карты не заполняется."_s,
        u" * APN строка для подключения к Internet. Наименование Wi-Fi сети. "_s,
        u" * Логин для подключения к Internet. Логин Wi-Fi сети."_s,
        u" * Пароль для подключения к Intenet. Пароль Wi-Fi сети."_s,
    };
    return lines;
}

QFrame *MakeLine(QWidget *parent, const QString &name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return line;
}

QPushButton *MakeButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}
} // namespace

TFrameGsmSetting::TFrameGsmSetting(QWidget *parent)
    : QWidget(parent)
    , m_grid(MakeGrid(TableKind::Gsm))
    , Label1(AddPageTitle(this))
    , Panel1(MakeLine(this, u"Panel1"_s))
    , sgGsm(new TStringGrid(m_grid.get(), TableKind::Gsm, this))
    , Memo1(new QPlainTextEdit(this))
    , Panel2(MakeLine(this, u"Panel2"_s))
    , ProgressBar1(new QProgressBar(this))
    , Button3(MakeButton(this, u"Button3"_s, u"Записать в ККТ"_s))
    , Button4(MakeButton(this, u"Button4"_s, u"Прочитать из ККТ"_s))
{
    connect(sgGsm, &TStringGrid::cellSelected, this, &TFrameGsmSetting::sgGsmSelectCell);
    // Tall enough for the title row and the seven parameters.
    const TableLayout &table = sgGsm->layout();
    sgGsm->setFixedHeight(
        sgGsm->horizontalHeader()->height() + (table.rows - 1) * table.rowHeight + 2 * sgGsm->frameWidth());

    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setReadOnly(true);
    Memo1->setFrameStyle(QFrame::NoFrame);
    Memo1->viewport()->setAutoFillBackground(false);
    Memo1->setPlainText(HelpLines().join(u'\n'));

    ProgressBar1->setObjectName(u"ProgressBar1"_s);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->hide();

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ProgressBar1, 1);
    buttons->addStretch();
    buttons->addWidget(Button3);
    buttons->addWidget(Button4);

    // Under the title, before the stretch that the title's column ends with.
    auto *column = static_cast<QVBoxLayout *>(layout());
    int at = 1;
    column->insertWidget(at++, Panel1);
    column->insertWidget(at++, sgGsm);
    auto *find = new TFindBar([this] { return sgGsm; }, this);
    find->attach(sgGsm);
    column->insertWidget(at++, find);
    column->insertWidget(at++, Memo1, 1);
    column->insertWidget(at++, Panel2);
    column->insertLayout(at++, buttons);

    connect(Button3, &QPushButton::clicked, this, &TFrameGsmSetting::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFrameGsmSetting::Button4Click);
}

TFrameGsmSetting::~TFrameGsmSetting()
{
    // The grid outlives the page's members only until here: the view goes
    // first, so that nothing paints from a model already gone.
    delete sgGsm;
}

void TFrameGsmSetting::Init(TKktSession &session)
{
    m_session = &session;
    Label1->setText(u"Параметры GSM/Wi-Fi"_s);
    InitGrid(TableKind::Gsm, *m_grid);
    CurrentGsmRow = 1;
    // Both sequences use the one KKT channel: no second run while one goes.
    session.addGuarded(Button3);
    session.addGuarded(Button4);
}

void TFrameGsmSetting::sgGsmSelectCell(int, int row)
{
    CurrentGsmRow = row;
}

void TFrameGsmSetting::Button3Click()
{
    RunSequence(RunDirection::Write);
}

void TFrameGsmSetting::Button4Click()
{
    RunSequence(RunDirection::Read);
}

void TFrameGsmSetting::RunSequence(RunDirection direction)
{
    if (!m_session)
        return;
    TRunGuard guard(*m_session);
    if (!guard.acquired())
        return;
    const KktConnection connection = m_session->connection();
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    QCoreApplication::processEvents();

    RunHooks hooks;
    hooks.progress = [this](const RunProgress &progress) { ProgressBar1->setValue(progress.percent); };
    hooks.failure = [this](const QString &message) { Prompts::instance().error(this, message); };
    hooks.processEvents = [] { QCoreApplication::processEvents(); };
    // What a read puts into the grid is one step of the window's history.
    sgGsm->record(u"Чтение из ККТ"_s, [&] { RunGsm(m_session->channel(), connection, direction, *m_grid, hooks); });

    ProgressBar1->hide();
    QCoreApplication::processEvents();
}
