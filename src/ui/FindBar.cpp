#include "ui/FindBar.h"

#include "pages/GridFind.h"
#include "ui/StringGrid.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
QPushButton *MakeButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus); // clicked, the text keeps the focus for Enter and Escape
    return button;
}
} // namespace

TFindBar::TFindBar(Target target, QWidget *parent)
    : QWidget(parent)
    , m_target(std::move(target))
    , m_field(new QLineEdit(this))
    , m_previous(MakeButton(this, u"btnFindPrevious"_s, u"Назад"_s))
    , m_next(MakeButton(this, u"btnFindNext"_s, u"Далее"_s))
    , m_count(new QLabel(this))
{
    setObjectName(u"FindBar"_s);
    m_field->setObjectName(u"edtFind"_s);
    m_field->setPlaceholderText(u"Часть наименования или штрих-кода"_s);
    m_field->setClearButtonEnabled(true);
    m_field->installEventFilter(this);
    m_count->setObjectName(u"lblFindCount"_s);
    auto *close = new QToolButton(this);
    close->setObjectName(u"btnFindClose"_s);
    close->setText(u"×"_s);
    close->setToolTip(u"Закрыть (Esc)"_s);
    close->setAutoRaise(true);
    close->setFocusPolicy(Qt::NoFocus);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    row->addWidget(new QLabel(u"Найти:"_s, this));
    row->addWidget(m_field, 1);
    row->addWidget(m_previous);
    row->addWidget(m_next);
    row->addWidget(m_count, 1);
    row->addWidget(close);

    // Typing looks from the recorded cell on, as a browser's find does.
    connect(m_field, &QLineEdit::textChanged, this, [this] { go(true, true); });
    connect(m_next, &QPushButton::clicked, this, &TFindBar::findNext);
    connect(m_previous, &QPushButton::clicked, this, &TFindBar::findPrevious);
    connect(close, &QToolButton::clicked, this, &TFindBar::close);
    hide();
}

void TFindBar::attach(TStringGrid *grid)
{
    connect(grid, &TStringGrid::findRequested, this, &TFindBar::open);
}

void TFindBar::open()
{
    show();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
    go(true, true);
}

void TFindBar::close()
{
    hide();
    if (TStringGrid *grid = m_target())
        grid->selectCell(grid->currentCol(), grid->currentRow());
}

void TFindBar::findNext()
{
    go(true, false);
}

void TFindBar::findPrevious()
{
    go(false, false);
}

void TFindBar::go(bool forward, bool inclusive)
{
    TStringGrid *grid = m_target();
    const QString text = m_field->text();
    if (!grid || text.isEmpty()) {
        m_count->clear();
        return;
    }
    const QList<CellPos> matches = FindCells(*grid->grid(), grid->layout(), text);
    const int at = NextMatch(matches, { grid->currentRow(), grid->currentCol() }, forward, inclusive);
    if (at < 0) {
        m_count->setText(u"Не найдено"_s);
        return;
    }
    grid->showCell(matches[at].col, matches[at].row);
    m_count->setText(u"%1 из %2"_s.arg(at + 1).arg(matches.size()));
}

bool TFindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        go(!(key->modifiers() & Qt::ShiftModifier), false);
        return true;
    case Qt::Key_F3:
        go(!(key->modifiers() & Qt::ShiftModifier), false);
        return true;
    case Qt::Key_Escape:
        close();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
