#include "ui/CellEditorDelegate.h"

#include "pages/StringGridModel.h"
#include "pages/TypingRules.h"
#include "ui/TypedKey.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

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
    editor->setProperty(kRowProperty, index.row() + 1);
    editor->setProperty(kColProperty, index.column() + 1);
    connect(editor, &QLineEdit::textChanged, this,
        [this, editor] { emit const_cast<CellEditorDelegate *>(this)->commitData(editor); });
    return editor;
}

void CellEditorDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *line = qobject_cast<QLineEdit *>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (!line || line->text() == text) // an unchanged text keeps the cursor where the user has it
        return;
    const QSignalBlocker quiet(line); // the text comes from the grid: nothing to commit
    line->setText(text);
}

void CellEditorDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        model->setData(index, line->text(), Qt::EditRole);
}

bool CellEditorDelegate::eventFilter(QObject *watched, QEvent *event)
{
    // The editors stay open and commit every change themselves: none of the base
    // class's closing on focus loss, Enter or Escape.
    auto *line = qobject_cast<QLineEdit *>(watched);
    if (!line || event->type() != QEvent::KeyPress)
        return false;
    const std::optional<QString> typed = TypedText(*static_cast<QKeyEvent *>(event));
    if (!typed)
        return false;
    const int row = line->property(kRowProperty).toInt();
    const int col = line->property(kColProperty).toInt();
    const CellRule rule = RuleAt(m_layout, row, col);
    const QString font = rule.fontCol >= 0 ? m_grid->cell(row, rule.fontCol) : QString();
    const std::optional<QString> accepted = ApplyTypingRule(rule, line->text(), font, *typed);
    if (!accepted)
        return true; // dropped without a sound
    if (*accepted == *typed)
        return false;
    line->insert(*accepted); // upper-cased
    return true;
}
