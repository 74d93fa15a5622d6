#include "app/pages/Set102Frame.h"

#include "app/KktSession.h"
#include "app/pages/PageTitle.h"
#include "app/pages/RunPanel.h"
#include "app/pages/Shape.h"
#include "pages/DuplicateBarcodes.h"
#include "pages/RangeCheck.h"
#include "pages/StoreMarks.h"
#include "pages/TableLayout.h"
#include "pages/TableRun.h"
#include "ui/Contrast.h"
#include "ui/DigitsKeyFilter.h"
#include "ui/FindBar.h"
#include "ui/Prompts.h"
#include "ui/StringGrid.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
constexpr int kTabCount = 7;

size_t IndexOf(TableKind kind)
{
    Q_ASSERT(kind != TableKind::Gsm);
    return size_t(kind) - size_t(TableKind::Oper);
}

QPushButton *MakeButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

QLabel *MakeWarningLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    // Dark red as the warning has always been, lighter where the palette is dark.
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Contrast::ReadableOn(QColor(128, 0, 0), palette.color(QPalette::Window)));
    label->setPalette(palette);
    // On two lines where a larger font leaves the row short of room.
    label->setWordWrap(true);
    return label;
}

QFrame *MakeSeparator(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// Tab switches by keyboard go around the disabled tab bar.
bool IsTabSwitchKey(const QKeyEvent *key)
{
    const auto mods = key->modifiers();
    return (mods & Qt::ControlModifier)
        && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || key->key() == Qt::Key_PageUp
            || key->key() == Qt::Key_PageDown);
}
} // namespace

TFrameSet102::TFrameSet102(QWidget *parent)
    : QWidget(parent)
    , m_digits(new DigitsKeyFilter(this))
    , Label1(AddPageTitle(this, TitleFace::Serif))
{
    for (int i = 0; i < kTabCount; ++i) {
        const auto kind = TableKind(int(TableKind::Oper) + i);
        m_grids[size_t(i)] = MakeGrid(kind);
        new StoreMarks(kind, *m_grids[size_t(i)]);
    }
    new DuplicateBarcodes(grid(TableKind::Goods));
    CreateTabs();
    CreatePopupMenu();
    auto *column = static_cast<QVBoxLayout *>(layout());
    column->insertWidget(1, MakeSeparator(this));
    column->insertWidget(2, PageControl1, 1);
    column->insertWidget(3, CreateFindBar());
    column->insertWidget(4, MakeSeparator(this));
    column->insertWidget(5, CreateBottomRow());
}

TFrameSet102::~TFrameSet102()
{
    // The grids show the models: they go first.
    delete PageControl1;
}

void TFrameSet102::CreateTabs()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->installEventFilter(this);
    // The tabs in table order: "Операторы" is TabSheet1, "Станция" TabSheet7.
    for (int i = 0; i < kTabCount; ++i)
        AddTab(TableKind(int(TableKind::Oper) + i));
    auto *goods = static_cast<QVBoxLayout *>(tabOf(TableKind::Goods).sheet->layout());
    goods->insertWidget(1, CreateGoodsTools());
}

TFrameSet102::Tab &TFrameSet102::AddTab(TableKind kind)
{
    const TableLayout &layout = LayoutOf(kind);
    Tab &tab = m_tabs[IndexOf(kind)];
    tab.kind = kind;
    tab.sheet = new QWidget(PageControl1);
    tab.sheet->setObjectName(u"TabSheet%1"_s.arg(IndexOf(kind) + 1));
    tab.sheet->installEventFilter(this);
    tab.view = new TStringGrid(&grid(kind), kind, tab.sheet);
    const RangeFields &range = layout.range;
    tab.from = AddDigitField(tab.sheet, range.startName, range.longest, range.startValue);
    tab.to = AddDigitField(tab.sheet, range.endName, range.longest, range.endValue);

    auto *rangeRow = new QHBoxLayout;
    rangeRow->addStretch(1);
    // The labels name their fields for a screen reader; "по" alone would say
    // little, so the second field has a name of its own.
    auto *fromLabel = new QLabel(u"Диапазон:  с"_s, tab.sheet);
    auto *toLabel = new QLabel(u"по"_s, tab.sheet);
    fromLabel->setBuddy(tab.from);
    tab.to->setAccessibleName(u"Диапазон: по"_s);
    rangeRow->addWidget(fromLabel);
    rangeRow->addWidget(tab.from);
    rangeRow->addWidget(toLabel);
    rangeRow->addWidget(tab.to);
    auto *column = new QVBoxLayout(tab.sheet);
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(tab.view, 1);
    column->addLayout(rangeRow);
    PageControl1->addTab(tab.sheet, layout.tabTitle);
    return tab;
}

QLineEdit *TFrameSet102::AddDigitField(QWidget *parent, const QString &name, int length, const QString &text)
{
    auto *field = new QLineEdit(text, parent);
    field->setObjectName(name);
    // The designed width, or what the digits need in a larger font.
    const int digits = field->fontMetrics().horizontalAdvance(QString(length, u'0')) + 14;
    field->setFixedWidth(qMax(length <= 2 ? 33 : 49, digits));
    m_digits->watch(field, length);
    return field;
}

QWidget *TFrameSet102::CreateGoodsTools()
{
    auto *tools = new QWidget(this);
    Edit11 = AddDigitField(tools, u"Edit11"_s, 4, u"1"_s);
    Button6 = MakeButton(tools, u"Button6"_s, u"Перейти к товару"_s);
    Button1 = MakeButton(tools, u"Button1"_s, u"Сохранить в файл"_s);
    Button2 = MakeButton(tools, u"Button2"_s, u"Загрузить из файла"_s);
    Button5 = MakeButton(tools, u"Button5"_s, u"Очистить базу в ККТ"_s);
    Button7 = MakeButton(tools, u"Button7"_s, u"1C: Предприятие"_s);
    Button7->installEventFilter(this);
    Button7->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Button7, &QWidget::customContextMenuRequested, this,
        [this](const QPoint &pos) { PopupMenu1->popup(Button7->mapToGlobal(pos)); });
    connect(Button6, &QPushButton::clicked, this, &TFrameSet102::Button6Click);
    connect(Edit11, &QLineEdit::returnPressed, this, &TFrameSet102::Button6Click);
    connect(Button1, &QPushButton::clicked, this, &TFrameSet102::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFrameSet102::Button2Click);
    connect(Button5, &QPushButton::clicked, this, &TFrameSet102::Button5Click);

    Shape1 = new TShape(tools);
    Shape1->setObjectName(u"Shape1"_s);
    Shape1->setFixedSize(15, 15);
    Shape1->hide();
    Label14 = new QLabel(u"Сканер штрих-кода"_s, tools);
    Label14->setObjectName(u"Label14"_s);
    Label14->hide();
    lblCorrectShtrihCode = new QLabel(tools);
    lblCorrectShtrihCode->setObjectName(u"lblCorrectShtrihCode"_s);
    QFont bold = lblCorrectShtrihCode->font();
    bold.setBold(true);
    lblCorrectShtrihCode->setFont(bold);

    auto *warnings = new QVBoxLayout;
    warnings->addWidget(MakeWarningLabel(tools, u"Label12"_s, u"Внимание!"_s));
    warnings->addWidget(MakeWarningLabel(tools, u"Label13"_s, u"Разделитель цены - \"ТОЧКА!\""_s));

    auto *grid = new QGridLayout(tools);
    grid->setContentsMargins(0, 0, 0, 0);
    auto *itemLabel = new QLabel(u"Код товара:"_s, tools);
    itemLabel->setBuddy(Edit11);
    grid->addWidget(itemLabel, 0, 0);
    grid->addWidget(Edit11, 0, 1);
    grid->addWidget(Button6, 0, 2);
    grid->addWidget(Button1, 0, 4);
    grid->addWidget(Button2, 0, 5);
    grid->addWidget(Button5, 1, 4);
    grid->addWidget(Button7, 1, 5);
    auto *scanner = new QHBoxLayout;
    scanner->addWidget(Shape1);
    scanner->addWidget(Label14);
    scanner->addWidget(lblCorrectShtrihCode);
    scanner->addStretch(1);
    grid->addLayout(scanner, 1, 0, 1, 3);
    grid->addLayout(warnings, 0, 6, 2, 1);
    grid->setColumnStretch(3, 1);
    return tools;
}

QWidget *TFrameSet102::CreateFindBar()
{
    auto *bar = new TFindBar([this] { return tabOf(showingTable()).view; }, this);
    for (const Tab &tab : m_tabs)
        bar->attach(tab.view);
    return bar;
}

void TFrameSet102::CreatePopupMenu()
{
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(u"PopupMenu1"_s);
    auto add = [this](const QString &name, const QString &caption) {
        QAction *action = PopupMenu1->addAction(caption);
        action->setObjectName(name);
        return action;
    };
    connect(add(u"N11"_s, u"Загрузить из 1С (формат *.1cdb)"_s), &QAction::triggered, this, &TFrameSet102::N11Click);
    connect(add(u"N12"_s, u"Выгрузить в 1С (формат *.1cdb)"_s), &QAction::triggered, this, &TFrameSet102::N12Click);
    PopupMenu1->addSeparator();
    connect(
        add(u"N1xls1"_s, u"Загрузить из 1С (формат *.xls)"_s), &QAction::triggered, this, &TFrameSet102::N1xls1Click);
    PopupMenu1->addSeparator();
    connect(add(u"N1csv1"_s, u"Загрузить из таблицы (формат *.csv)"_s), &QAction::triggered, this,
        &TFrameSet102::N1csv1Click);
    connect(add(u"N2csv1"_s, u"Выгрузить в таблицу (формат *.csv)"_s), &QAction::triggered, this,
        &TFrameSet102::N2csv1Click);
    connect(add(u"N2xlsx1"_s, u"Выгрузить в таблицу (формат *.xlsx)"_s), &QAction::triggered, this,
        &TFrameSet102::N2xlsx1Click);
    PopupMenu1->addSeparator();
    add(u"N13"_s, u"Отмена"_s); // only closes the menu
}

QWidget *TFrameSet102::CreateBottomRow()
{
    auto *row = new QWidget(this);
    m_runPanel = new TRunPanel(row);
    Button3 = MakeButton(row, u"Button3"_s, u"Записать в ККТ"_s);
    Button4 = MakeButton(row, u"Button4"_s, u"Прочитать из ККТ"_s);
    btnVerify = MakeButton(row, u"btnVerify"_s, u"Сверить с ККТ"_s);
    btnVerify->setToolTip(u"Прочитать строки диапазона из ККТ и сравнить с таблицей, не меняя её"_s);
    connect(Button3, &QPushButton::clicked, this, &TFrameSet102::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFrameSet102::Button4Click);
    connect(btnVerify, &QPushButton::clicked, this, &TFrameSet102::btnVerifyClick);
    connect(m_runPanel, &TRunPanel::resumeClicked, this, &TFrameSet102::ResumeRun);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_runPanel);
    layout->addStretch(1);
    layout->addWidget(Button3);
    layout->addWidget(Button4);
    layout->addWidget(btnVerify);
    return row;
}

void TFrameSet102::Init(TKktSession &session)
{
    m_session = &session;
    Label1->setText(u"Параметры 102"_s);
    for (QWidget *command : { Button1, Button2, Button3, Button4, btnVerify, Button5, Button7 })
        session.addGuarded(command);
    for (QAction *action : PopupMenu1->actions())
        if (!action->isSeparator())
            session.addGuarded(action);
    session.addGuarded(PageControl1->tabBar());
    PageControl1->setCurrentIndex(0);
    m_shownTab = 0;
    connect(m_runPanel, &TRunPanel::stopClicked, &session, &TKktSession::requestStop);
    // Another run (the whole configuration's) makes an offer to go on from a row stale.
    connect(&session, &TKktSession::tableRunStarting, this, [this] {
        if (m_resume.from > 0) {
            m_resume = {};
            m_runPanel->finish();
        }
    });
    // A disabled tab bar still switches for an accessibility "Press"; the
    // switch itself is undone while a run holds the channel.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_session->busy() && index != m_shownTab)
            PageControl1->setCurrentIndex(m_shownTab);
        else
            m_shownTab = index;
    });
}

StringGridModel &TFrameSet102::grid(TableKind kind)
{
    return *m_grids[IndexOf(kind)];
}

TStringGrid *TFrameSet102::goodsView() const
{
    return tabOf(TableKind::Goods).view;
}

TStringGrid *TFrameSet102::view(TableKind kind) const
{
    return tabOf(kind).view;
}

QWidget *TFrameSet102::scannerIndicator() const
{
    return Shape1;
}

QLabel *TFrameSet102::scannerCaption() const
{
    return Label14;
}

QLabel *TFrameSet102::shtrihLabel() const
{
    return lblCorrectShtrihCode;
}

void TFrameSet102::EnableKKTButtons(bool enabled)
{
    for (QPushButton *button : { Button3, Button4, btnVerify, Button5 })
        button->setEnabled(enabled);
}

TableKind TFrameSet102::showingTable() const
{
    return m_tabs[size_t(PageControl1->currentIndex())].kind;
}

void TFrameSet102::showTable(TableKind kind)
{
    PageControl1->setCurrentWidget(tabOf(kind).sheet);
}

const TFrameSet102::Tab &TFrameSet102::tabOf(TableKind kind) const
{
    return m_tabs[IndexOf(kind)];
}

bool TFrameSet102::CheckRange(QLineEdit *fromField, QLineEdit *toField, int maxRow)
{
    return CheckRangeFields(fromField, toField, maxRow).ok;
}

RangeCheck TFrameSet102::CheckRangeFields(QLineEdit *fromField, QLineEdit *toField, int maxRow)
{
    const RangeCheck check = CheckRangeValues(fromField->text(), toField->text(), maxRow);
    if (!check.ok && !check.message.isEmpty()) {
        Prompts::instance().information(this, check.message);
        (check.focus == RangeCheck::Field::End ? toField : fromField)->setFocus();
    }
    return check;
}

void TFrameSet102::ShowResult(const PageResult &result)
{
    if (result.message.isEmpty())
        return;
    if (result.ok)
        Prompts::instance().information(this, result.message);
    else
        Prompts::instance().error(this, result.message);
}

void TFrameSet102::Button6Click()
{
    const RangeCheck check = CheckItemNumber(Edit11->text(), MaxRowOf(TableKind::Goods));
    if (!check.ok) {
        Prompts::instance().information(this, check.message);
        Edit11->setFocus();
        return;
    }
    goodsView()->selectCell(GoodsCol::Name, check.from);
}

bool TFrameSet102::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        // While a run goes no tab is really shown: the switch is undone.
        for (const Tab &tab : m_tabs)
            if (watched == tab.sheet && !(m_session && m_session->busy()))
                OnTabShown(tab);
    } else if (watched == Button7 && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && Button7->isEnabled()) {
            PopupMenu1->popup(mouse->globalPosition().toPoint());
            Button7->setDown(false);
            return true;
        }
    } else if (watched == PageControl1 && event->type() == QEvent::KeyPress && m_session && m_session->busy()) {
        if (IsTabSwitchKey(static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFrameSet102::OnTabShown(const Tab &tab)
{
    // "Продолжить с N" belongs to the tab whose run it goes on with.
    if (m_resume.from > 0 && tab.kind != m_resume.kind) {
        m_resume = {};
        m_runPanel->finish();
    } else if (m_runPanel->showsDone()) {
        m_runPanel->finish(); // what another tab's run did
    }
    if (tab.kind == TableKind::Goods) {
        emit goodsTabShown();
        return;
    }
    // Every other tab ends the scanner-only state, enterprises and stations
    // included: their ranges go to the KKT like the others'.
    emit hookedTabShown();
    EnableKKTButtons(true);
}
