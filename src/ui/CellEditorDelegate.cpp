#include "ui/CellEditorDelegate.h"

#include "pages/StringGridModel.h"
#include "pages/TypingRules.h"
#include "ui/RuleValidator.h"

#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace {
const char *const kRowProperty = "gridRow";
const char *const kColProperty = "gridCol";
} // namespace

CellEditorDelegate::CellEditorDelegate(const TableLayout &layout, StringGridModel *grid, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_layout(layout)
    , m_grid(grid)
{ }

QWidget *CellEditorDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    auto *editor = new QLineEdit(parent);
    editor->setFrame(false);
    // Its own menu would undo and paste past the grid's undo and paste.
    editor->setContextMenuPolicy(Qt::NoContextMenu);
    const int row = index.row() + 1;
    const int col = index.column() + 1;
    editor->setProperty(kRowProperty, row);
    editor->setProperty(kColProperty, col);
    const CellRule rule = RuleAt(m_layout, row, col);
    StringGridModel *grid = m_grid;
    RuleValidator::install(
        editor, rule, [grid, row, font = rule.fontCol] { return font >= 0 ? grid->cell(row, font) : QString(); });
    connect(editor, &QLineEdit::textChanged, this,
        [this, editor] { emit const_cast<CellEditorDelegate *>(this)->commitData(editor); });
    return editor;
}

void CellEditorDelegate::putText(QWidget *editor, const QString &text)
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    if (auto *validator = qobject_cast<RuleValidator *>(const_cast<QValidator *>(line->validator())))
        validator->reset(text);
    else
        line->setText(text);
}

void CellEditorDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const QVariant mark = index.data(Qt::BackgroundRole);
    if (!(option.state & QStyle::State_Selected) || !mark.isValid())
        return;
    constexpr int kBar = 4;
    painter->fillRect(QRect(option.rect.left(), option.rect.top(), kBar, option.rect.height()), mark.value<QColor>());
}

void CellEditorDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    // The recorded cell shows as such, focused or not (a find bar may have the
    // focus), and in its mark's colour when it has one.
    const QVariant mark = index.data(Qt::BackgroundRole);
    QString style = u"QLineEdit { border: 1px solid palette(highlight);"_s;
    if (mark.isValid())
        style += u" background: %1;"_s.arg(mark.value<QColor>().name());
    style += u" }"_s;
    if (line->styleSheet() != style) // a new style sheet costs a re-polish: not on every key
        line->setStyleSheet(style);
    line->setToolTip(index.data(Qt::ToolTipRole).toString());
    const QString text = index.data(Qt::EditRole).toString();
    if (line->text() == text) // an unchanged text keeps the cursor where the user has it
        return;
    const QSignalBlocker quiet(line); // the text comes from the grid: nothing to commit
    putText(line, text);
}

void CellEditorDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    if (m_commit)
        m_commit(index.row() + 1, index.column() + 1, line->text());
    else
        model->setData(index, line->text(), Qt::EditRole);
}

bool CellEditorDelegate::eventFilter(QObject *, QEvent *)
{
    // The editors stay open and commit every change themselves: none of the
    // base class's closing on focus loss, Enter, Escape or Tab. The grid
    // handles those keys.
    return false;
}
