#include "app/pages/GsmSettingFrame.h"

#include "app/EditedCells.h"
#include "app/KktSession.h"
#include "app/pages/PageTitle.h"
#include "pages/Grids102.h"
#include "pages/GsmRun.h"
#include "pages/RegisterView.h"
#include "pages/StoreMarks.h"
#include "pages/TableLayout.h"
#include "ui/FindBar.h"
#include "ui/Prompts.h"
#include "ui/StringGrid.h"

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
    , btnVerify(MakeButton(this, u"btnVerify"_s, u"Сверить с ККТ"_s))
{
    new StoreMarks(TableKind::Gsm, *m_grid);
    connect(sgGsm, &TStringGrid::cellSelected, this, &TFrameGsmSetting::sgGsmSelectCell);
    // Tall enough for the title row and the seven parameters, in the font's row height.
    const TableLayout &table = sgGsm->layout();
    sgGsm->setFixedHeight(sgGsm->horizontalHeader()->height()
        + (table.rows - 1) * sgGsm->verticalHeader()->defaultSectionSize() + 2 * sgGsm->frameWidth());

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
    buttons->addWidget(btnVerify);

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
    connect(btnVerify, &QPushButton::clicked, this, &TFrameGsmSetting::btnVerifyClick);
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
    for (QPushButton *button : { Button3, Button4, btnVerify })
        session.addGuarded(button);
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
    if (direction == RunDirection::Write
        && !TKktSession::ConfirmStore(this, CheckBeforeWrite(TableKind::Gsm, *m_grid, 1, GsmParams::kCount)))
        return;
    if (direction == RunDirection::Read && m_editedCells
        && !m_editedCells->confirmRead(this, TableKind::Gsm, 1, GsmParams::kCount))
        return;
    const RunResult result = RunInto(direction, *m_grid);
    if (m_editedCells)
        m_editedCells->matched(TableKind::Gsm, 1, LastRowThrough(result, 1, GsmParams::kCount));
    if (result.ok)
        m_session->tell(RunSummary(direction, GsmParams::kCount, m_clock.elapsed()));
}

void TFrameGsmSetting::btnVerifyClick()
{
    if (!m_session)
        return;
    TRunGuard guard(*m_session);
    if (!guard.acquired())
        return;
    // The register read into a copy: the page stays as the user left it.
    const auto read = MakeGrid(TableKind::Gsm);
    if (RunInto(RunDirection::Read, *read).ok)
        m_session->verified(CompareWithRegister(TableKind::Gsm, *m_grid, *read, 1, GsmParams::kCount));
}

RunResult TFrameGsmSetting::RunInto(RunDirection direction, StringGridModel &grid)
{
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    const RunHooks hooks = m_session->runHooks(
        [bar = ProgressBar1](const RunProgress &progress) { bar->setValue(progress.percent); }, this);
    m_clock.start();
    RunResult result;
    const auto run
        = [&] { result = m_session->runTable(TableKind::Gsm, direction, grid, 1, GsmParams::kCount, hooks); };
    // What a read puts into the page's grid is one step of the window's history.
    if (direction == RunDirection::Read && &grid == m_grid.get())
        sgGsm->record(u"Чтение из ККТ"_s, run);
    else
        run();
    ProgressBar1->hide();
    return result;
}
