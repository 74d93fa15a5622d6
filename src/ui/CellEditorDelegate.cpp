#include "ui/CellEditorDelegate.h"

#include "pages/StringGridModel.h"
#include "pages/TypingRules.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {
const char *const kRowProperty = "gridRow";
const char *const kColProperty = "gridCol";

// Printable characters and Backspace go through the rule; navigation, editing
// shortcuts and the view's keys (Tab, Enter, Escape) are left alone.
bool IsTyped(const QKeyEvent &key, QChar &typed)
{
    if (key.text().size() != 1 || (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    typed = key.text().front();
    return typed == kBackspace || typed.isPrint();
}
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
    auto *line = qobject_cast<QLineEdit *>(watched);
    QChar typed;
    // The editors stay open and commit every change themselves: none of the base
    // class's closing on focus loss, Enter or Escape.
    if (!line || event->type() != QEvent::KeyPress || !IsTyped(*static_cast<QKeyEvent *>(event), typed))
        return false;
    const int row = line->property(kRowProperty).toInt();
    const int col = line->property(kColProperty).toInt();
    const CellRule rule = RuleAt(m_layout, row, col);
    const QString font = rule.fontCol >= 0 ? m_grid->cell(row, rule.fontCol) : QString();
    const TypedChar result = ApplyTypingRule(rule, line->text(), font, typed);
    if (!result.accepted)
        return true; // dropped without a sound
    if (result.ch == typed)
        return false;
    line->insert(QString(result.ch));
    return true;
}
