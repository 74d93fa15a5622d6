#include "ui/StringGrid.h"

#include "pages/FixedLists.h"
#include "pages/StringGridModel.h"
#include "pages/TableLayout.h"
#include "pages/TypingRules.h"
#include "ui/CellEditorDelegate.h"
#include "ui/GridBodyModel.h"
#include "ui/GridEdits.h"
#include "ui/Prompts.h"
#include "ui/RuleValidator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
// The corner above the row titles shows the title of the title column.
class CornerTitle : public QObject
{
public:
    CornerTitle(QAbstractButton *corner, QString title)
        : QObject(corner)
        , m_title(std::move(title))
    {
        corner->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        auto *corner = static_cast<QWidget *>(watched);
        QStyleOptionHeader option;
        option.initFrom(corner);
        option.rect = corner->rect();
        option.text = m_title;
        option.textAlignment = Qt::AlignCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        QPainter painter(corner);
        corner->style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
        return true;
    }

private:
    QString m_title;
};

// A key that works on the editor's text: typed characters and the text cursor.
bool EditsText(const QKeyEvent *key)
{
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Backspace:
        return true;
    default:
        return !key->text().isEmpty() && key->text().at(0).isPrint();
    }
}

// Ctrl+Y as well as the desktop's own redo key.
bool IsRedo(const QKeyEvent *key)
{
    return key->matches(QKeySequence::Redo) || key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
}

// Shift with a movement key: the block selection grows.
bool ExtendsSelection(const QKeyEvent *key)
{
    if (!(key->modifiers() & Qt::ShiftModifier) || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}
} // namespace

TStringGrid::TStringGrid(StringGridModel *model, TableKind kind, QWidget *parent)
    : QTableView(parent)
    , m_grid(model)
    , m_kind(kind)
    , m_layout(LayoutOf(kind))
    , m_body(new GridBodyModel(model, this))
    , m_delegate(new CellEditorDelegate(m_layout, model, this))
{
    setObjectName(m_layout.gridName);
    applyRowHeights();
    setModel(m_body);
    setItemDelegate(m_delegate);
    m_delegate->setCommit([this](int row, int col, const QString &text) { commitTyped(row, col, text); });
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers); // the grid opens its editors itself
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabKeyNavigation(false); // the grid moves on Tab itself, and leaves past its last cell
    installEventFilter(this); // Tab reaches event() before keyPressEvent
    applyLayout();
    createLists();
    setCurrentIndex(viewIndex(1, 1));
}

TStringGrid::~TStringGrid() = default;

namespace {
// Room a header section or a cell takes beside its text: margins, a frame, a sort of breath.
int TextRoom(const QWidget *widget)
{
    return 2 * widget->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, widget) + 8;
}

int WidestText(const QFontMetrics &metrics, const QStringList &texts)
{
    int widest = 0;
    for (const QString &text : texts)
        widest = qMax(widest, metrics.horizontalAdvance(text));
    return widest;
}
} // namespace

void TStringGrid::applyRowHeights()
{
    // The designed sizes, grown to the font in use (a larger system font, a
    // scale factor): a title or a row that its text does not fit is cut.
    const int rowHeight = qMax(m_layout.rowHeight, fontMetrics().height() + 4);
    // Set before the model comes: 6000 rows then take their fixed height at once.
    QHeaderView *rowsHeader = verticalHeader();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setMinimumSectionSize(1);
    rowsHeader->setDefaultSectionSize(rowHeight);
    rowsHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const QStringList titles = m_layout.rowTitles + QStringList { m_layout.column(0).title };
    rowsHeader->setFixedWidth(
        qMax(m_layout.column(0).width, WidestText(rowsHeader->fontMetrics(), titles) + TextRoom(rowsHeader)));
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setFixedHeight(qMax(m_layout.rowHeight, horizontalHeader()->fontMetrics().height() + 4) + 2);
    // The titles are fixed cells: a click on them selects nothing.
    rowsHeader->setSectionsClickable(false);
    horizontalHeader()->setSectionsClickable(false);
    setCornerButtonEnabled(false);
}

void TStringGrid::applyLayout()
{
    for (int col = 1; col < m_layout.cols; ++col) {
        const ColumnLayout &column = m_layout.column(col);
        const int title = horizontalHeader()->fontMetrics().horizontalAdvance(column.title) + TextRoom(this);
        setColumnWidth(col - 1, qMax(column.width, title));
        setColumnHidden(col - 1, column.hidden);
    }
    if (auto *corner = findChild<QAbstractButton *>())
        new CornerTitle(corner, m_grid->cell(0, 0));
}

void TStringGrid::createLists()
{
    for (int col : m_layout.listColumns()) {
        const CellRule &rule = m_layout.column(col).rule;
        if (findChild<QComboBox *>(rule.listName)) // one list may serve several columns
            continue;
        auto *list = new QComboBox(viewport());
        list->setObjectName(rule.listName);
        list->addItems(ListEntries(rule.list));
        list->setEditable(false);
        list->hide();
        list->installEventFilter(this);
        connect(list, &QComboBox::activated, this, [this, list](int entry) { choose(list, entry); });
        m_lists << list;
    }
}

QComboBox *TStringGrid::listOf(int col) const
{
    const CellRule &rule = m_layout.column(col).rule;
    if (rule.edit != EditRule::List)
        return nullptr;
    for (QComboBox *list : m_lists)
        if (list->objectName() == rule.listName)
            return list;
    return nullptr;
}

int TStringGrid::leastColumnWidth(int viewCol) const
{
    const int col = viewCol + 1;
    if (col < 1 || col >= m_layout.cols)
        return 0;
    const ColumnLayout &column = m_layout.column(col);
    int text = horizontalHeader()->fontMetrics().horizontalAdvance(column.title);
    const CellRule &rule = column.rule;
    switch (rule.edit) {
    case EditRule::Digits:
    case EditRule::Price:
    case EditRule::Address:
        text = qMax(text, fontMetrics().horizontalAdvance(QString(rule.limit, u'0')));
        break;
    case EditRule::List:
        // The list's arrow beside the widest entry.
        text = qMax(text,
            WidestText(fontMetrics(), ListEntries(rule.list))
                + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
        break;
    default:
        break;
    }
    return qMin(text + TextRoom(this), qMax(column.width, columnWidth(viewCol)));
}

QLineEdit *TStringGrid::cellEditor() const
{
    return qobject_cast<QLineEdit *>(focusTarget());
}

QModelIndex TStringGrid::viewIndex(int col, int row) const
{
    return m_body->index(row - 1, col - 1);
}

void TStringGrid::selectCell(int col, int row)
{
    const QModelIndex index = viewIndex(col, row);
    if (!index.isValid())
        return;
    setFocus(Qt::OtherFocusReason);
    if (index == currentIndex())
        currentChanged(index, index); // record it again; a list cell shows its list again
    else
        setCurrentIndex(index);
    if (!isColumnHidden(index.column()))
        scrollTo(index);
    if (QWidget *editor = focusTarget())
        editor->setFocus(Qt::OtherFocusReason);
}

void TStringGrid::showCell(int col, int row)
{
    moveTo(col, row);
}

void TStringGrid::moveTo(int col, int row)
{
    const QModelIndex index = viewIndex(col, row);
    if (!index.isValid())
        return;
    if (index == currentIndex())
        beginEdit();
    else
        setCurrentIndex(index);
    if (!isColumnHidden(index.column()))
        scrollTo(index);
}

void TStringGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!current.isValid() || m_dragging)
        return;
    const QWidget *focused = QApplication::focusWidget();
    const bool hadFocus = focused && (focused == this || isAncestorOf(focused));
    m_col = current.column() + 1;
    m_row = current.row() + 1;
    m_corner = QPoint(m_col, m_row);
    // The view takes the focus before the old editor goes, or hiding a focused
    // editor would pass the focus on, and tab navigation would move the cell.
    const QPersistentModelIndex old = m_editorIndex;
    m_editorIndex = QPersistentModelIndex();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
    for (QComboBox *list : m_lists)
        list->hide();
    closeEditorAt(old);
    const CellRule rule = RuleAt(m_layout, m_row, m_col);
    if (OpensList(m_layout, *m_grid, m_row, m_col)) {
        showList(listOf(m_col), current, hadFocus || focused == nullptr);
    } else if (rule.edit != EditRule::None && rule.edit != EditRule::List) {
        openEditorAt(current);
        if (hadFocus)
            focusTarget()->setFocus(Qt::OtherFocusReason);
    }
    beginEdit();
    emit cellSelected(m_col, m_row);
}

void TStringGrid::openEditorAt(const QModelIndex &index)
{
    openPersistentEditor(index);
    m_editorIndex = index;
    if (QWidget *editor = indexWidget(index))
        editor->installEventFilter(this); // after the delegate's: the grid sees the keys first
    // The view selects the whole text of a new editor; the cursor goes to the end
    // instead, so that typing adds to the text as the length limits expect.
    if (auto *line = qobject_cast<QLineEdit *>(indexWidget(index)))
        line->end(false);
}

void TStringGrid::closeEditorAt(const QModelIndex &index)
{
    if (index.isValid() && isPersistentEditorOpen(index))
        closePersistentEditor(index);
}

QWidget *TStringGrid::focusTarget() const
{
    return m_editorIndex.isValid() ? indexWidget(m_editorIndex) : nullptr;
}

void TStringGrid::showList(QComboBox *list, const QModelIndex &index, bool focus)
{
    if (!list)
        return;
    const ListKind kind = m_layout.column(m_col).rule.list;
    if (kind == ListKind::Vat || kind == ListKind::Taxation)
        scrollTo(index); // near the right edge: bring the whole cell into view
    const QRect cell = visualRect(index);
    list->setGeometry(cell.left() + 1, cell.top() + 1, cell.width() + 1, cell.height() + 1);
    list->show();
    list->raise();
    if (focus)
        list->setFocus(Qt::OtherFocusReason);
    preselect(list); // also when the focus was already there
}

void TStringGrid::preselect(QComboBox *list)
{
    const QString text = m_grid->cell(m_row, m_col);
    if (m_layout.column(m_col).rule.list == ListKind::Fonts) {
        list->setCurrentIndex(text == FixedLists::Narrow() ? 0 : 1);
        return;
    }
    const int entry = list->findText(text, Qt::MatchExactly);
    if (entry >= 0) // no entry equal to the text: the previous selection stays
        list->setCurrentIndex(entry);
}

void TStringGrid::choose(QComboBox *list, int entry)
{
    const int row = m_row;
    const int col = m_col;
    const CellRule rule = RuleAt(m_layout, row, col);
    const QString text = list->itemText(entry);
    setFocus(Qt::OtherFocusReason); // before the focused list goes away
    list->hide();
    record(u"Выбор из списка"_s, [&] {
        m_grid->setCell(row, col, text);
        if (rule.list == ListKind::ItemKinds && FixedLists::IsVatExemptKind(text))
            m_grid->setCell(row, UslCol::Vat, FixedLists::VatExempt());
    });
    selectCell(rule.landCol, row);
}

void TStringGrid::commitTyped(int row, int col, const QString &text)
{
    if (m_edits)
        m_edits->typed(*m_grid, row, col, text, m_edit);
    else
        m_grid->setCell(row, col, text);
}

GridEdits *TStringGrid::edits() const
{
    return m_edits.data();
}

void TStringGrid::setEdits(GridEdits *edits)
{
    if (m_edits)
        disconnect(m_edits, nullptr, this, nullptr);
    m_edits = edits;
    if (m_edits) // what an undo brought back is no part of the edit going on
        connect(m_edits, &GridEdits::stepped, this, &TStringGrid::beginEdit);
}

void TStringGrid::record(const QString &label, const std::function<void()> &change, std::function<void()> swapSide)
{
    if (!m_edits)
        change();
    else if (swapSide)
        m_edits->record({ m_grid }, label, change, std::move(swapSide));
    else
        m_edits->record({ m_grid }, label, change);
}

void TStringGrid::beginEdit()
{
    m_editStartText = m_grid->cell(m_row, m_col);
    m_editing = false;
    ++m_edit;
}

void TStringGrid::revertEdit()
{
    QLineEdit *editor = cellEditor();
    if (editor && editor->text() != m_editStartText)
        CellEditorDelegate::putText(editor, m_editStartText); // reaches the grid as any change does
    beginEdit();
}

bool TStringGrid::keysDiscarded(const QKeyEvent *key) const
{
    // Copying changes nothing and the history is the window's: those keys work there too.
    const bool harmless = key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Undo) || IsRedo(key)
        || key->matches(QKeySequence::Find);
    return m_kind == TableKind::Usl && m_col == UslCol::Vat && !harmless;
}

bool TStringGrid::step(bool forward, int &col, int &row) const
{
    for (;;) {
        col += forward ? 1 : -1;
        if (col >= m_layout.cols) {
            col = 1;
            ++row;
        } else if (col < 1) {
            col = m_layout.cols - 1;
            --row;
        }
        if (row < 1 || row > m_layout.maxRow())
            return false;
        if (!m_layout.column(col).hidden)
            return true;
    }
}

void TStringGrid::moveDown()
{
    if (m_row < m_layout.maxRow())
        moveTo(m_col, m_row + 1);
    else
        beginEdit(); // the last row: the edit ends where it is
}

void TStringGrid::leaveGrid(bool forward)
{
    QWidget *next = this;
    for (int guard = 0; guard < 10000; ++guard) {
        next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
        if (!next || next == this)
            return;
        if (isAncestorOf(next) || next->window() != window())
            continue;
        if (next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus)) {
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool TStringGrid::handleKey(QKeyEvent *key, KeySource source)
{
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    // While the user edits the text, the editor's own copy, cut and Delete act on it.
    const bool inText = source == KeySource::Editor && m_editing && selectedRange().cellCount() == 1;
    const bool textSelected = inText && cellEditor()->hasSelectedText();
    if (key->matches(QKeySequence::Copy)) {
        if (!textSelected)
            copy();
        return !textSelected;
    }
    if (key->matches(QKeySequence::Cut)) {
        if (!textSelected)
            cut();
        return !textSelected;
    }
    if (key->matches(QKeySequence::Paste)) {
        paste();
        return true;
    }
    if (key->matches(QKeySequence::Find)) {
        emit findRequested();
        return true;
    }
    if (key->matches(QKeySequence::Undo) || IsRedo(key)) {
        if (m_edits)
            key->matches(QKeySequence::Undo) ? m_edits->undo() : m_edits->redo();
        return true;
    }
    switch (key->key()) {
    case Qt::Key_Delete:
        if (!plain || (mods & Qt::ShiftModifier) || inText)
            return false;
        clearSelected();
        return true;
    case Qt::Key_F2:
        if (source != KeySource::Editor || !plain)
            return false;
        m_editing = true;
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!plain)
            return false;
        moveDown();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (!plain)
            return false;
        const bool forward = key->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier);
        int col = m_col, row = m_row;
        if (step(forward, col, row))
            moveTo(col, row);
        else
            leaveGrid(forward);
        return true;
    }
    case Qt::Key_Escape:
        if (source != KeySource::Editor)
            return false;
        revertEdit();
        return true;
    default:
        return false;
    }
}

void TStringGrid::keyPressEvent(QKeyEvent *event)
{
    if (keysDiscarded(event)) {
        event->accept();
        return;
    }
    if (ExtendsSelection(event)) {
        extendSelection(event);
        return;
    }
    if (handleKey(event, KeySource::View)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TStringGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    if (QWidget *editor = focusTarget())
        editor->setFocus(event->reason());
}

void TStringGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex before = currentIndex();
    const QModelIndex clicked = indexAt(event->position().toPoint());
    if ((event->modifiers() & Qt::ShiftModifier) && event->button() == Qt::LeftButton && clicked.isValid()) {
        selectBlock(clicked.column() + 1, clicked.row() + 1); // from the recorded cell to the one clicked
        return;
    }
    QTableView::mousePressEvent(event);
    // A click on the recorded list cell whose list went away brings the list back.
    if (currentIndex() == before && before.isValid() && OpensList(m_layout, *m_grid, m_row, m_col)) {
        QComboBox *list = listOf(m_col);
        if (list && !list->isVisible())
            showList(list, before, true);
    }
}

void TStringGrid::extendSelection(const QKeyEvent *key)
{
    int col = m_corner.x(), row = m_corner.y();
    const int page = qMax(1, viewport()->height() / verticalHeader()->defaultSectionSize() - 1);
    switch (key->key()) {
    case Qt::Key_Up:
        row = qMax(1, row - 1);
        break;
    case Qt::Key_Down:
        row = qMin(m_layout.maxRow(), row + 1);
        break;
    case Qt::Key_PageUp:
        row = qMax(1, row - page);
        break;
    case Qt::Key_PageDown:
        row = qMin(m_layout.maxRow(), row + page);
        break;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        int c = col, r = row;
        if (step(key->key() == Qt::Key_Right, c, r) && r == row)
            col = c;
        break;
    }
    default:
        return;
    }
    selectBlock(col, row);
}

void TStringGrid::selectBlock(int col, int row)
{
    // The recorded cell stays where the block began, as a spreadsheet keeps
    // its active cell; the block's far corner moves.
    m_corner = QPoint(col, row);
    const QModelIndex corner = viewIndex(col, row);
    selectionModel()->select(QItemSelection(currentIndex(), corner), QItemSelectionModel::ClearAndSelect);
    scrollTo(corner);
}

void TStringGrid::mouseMoveEvent(QMouseEvent *event)
{
    // Dragging selects a block; the recorded cell stays where the drag began,
    // its editor or list with it, as a spreadsheet keeps its active cell.
    const QModelIndex anchor = currentIndex();
    m_dragging = true;
    QTableView::mouseMoveEvent(event);
    if (currentIndex() != anchor && anchor.isValid())
        selectionModel()->setCurrentIndex(anchor, QItemSelectionModel::NoUpdate);
    m_dragging = false;
    const QModelIndex over = indexAt(event->position().toPoint());
    if ((event->buttons() & Qt::LeftButton) && over.isValid())
        m_corner = QPoint(over.column() + 1, over.row() + 1);
}

CellRange TStringGrid::selectedRange() const
{
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return { m_row, m_col, m_row, m_col };
    CellRange range { INT_MAX, INT_MAX, -1, -1 };
    for (const QItemSelectionRange &part : selection) {
        range.top = qMin(range.top, part.top() + 1);
        range.left = qMin(range.left, part.left() + 1);
        range.bottom = qMax(range.bottom, part.bottom() + 1);
        range.right = qMax(range.right, part.right() + 1);
    }
    return range;
}

void TStringGrid::selectRange(const CellRange &range)
{
    const QModelIndex first = viewIndex(range.left, range.top);
    const QModelIndex last = viewIndex(range.right, range.bottom);
    if (!first.isValid() || !last.isValid())
        return;
    if (currentIndex() != first)
        selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(first, last), QItemSelectionModel::ClearAndSelect);
}

void TStringGrid::copy()
{
    const CellRange range = selectedRange();
    const TextBlock block = CopyRange(*m_grid, m_layout, range);
    auto *mime = new QMimeData;
    mime->setText(ToTabText(block));
    mime->setHtml(ToHtmlTable(block, CopyColumnKinds(m_layout, range)));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void TStringGrid::cut()
{
    copy();
    clearSelectedAs(u"Вырезание"_s);
}

void TStringGrid::clearSelected()
{
    clearSelectedAs(u"Очистка"_s);
}

bool TStringGrid::refusedWhileLocked()
{
    if (!m_grid->locked())
        return false;
    emit editRefused();
    return true;
}

void TStringGrid::clearSelectedAs(const QString &label)
{
    if (refusedWhileLocked())
        return;
    const CellRange range = selectedRange();
    record(label, [&] { ClearRange(*m_grid, m_layout, range); });
    beginEdit();
}

void TStringGrid::paste()
{
    const TextBlock block = ParseTabText(QGuiApplication::clipboard()->text());
    if (block.isEmpty() || refusedWhileLocked())
        return;
    const CellRange range = selectedRange();
    const bool oneValue = block.size() == 1 && block.first().size() == 1;
    if (oneValue && m_editing && range.cellCount() == 1 && cellEditor()) {
        pasteIntoEditor(block.first().first());
        return;
    }
    PasteReport report;
    CellRange written = range;
    record(oneValue ? u"Заполнение"_s : u"Вставка"_s, [&] {
        if (oneValue && range.cellCount() > 1)
            FillRange(*m_grid, m_layout, range, block.first().first(), report);
        else
            written = PasteBlock(*m_grid, m_layout, range.top, range.left, block, report);
    });
    if (!written.isEmpty())
        selectRange(written);
    beginEdit();
    showReport(report);
}

void TStringGrid::pasteIntoEditor(const QString &text)
{
    QLineEdit *editor = cellEditor();
    const auto *validator = qobject_cast<const RuleValidator *>(editor->validator());
    const RuledText ruled = validator ? validator->judge(text) : RuledText { text };
    if (!ruled.text.isEmpty())
        editor->insert(ruled.text);
    if (!ruled.changedAnything())
        return;
    PasteReport report;
    report.reached();
    NoteAdjusted(*m_grid, m_layout, m_row, m_col, text, DescribeRuled(ruled), report);
    showReport(report);
}

void TStringGrid::showReport(const PasteReport &report)
{
    const QString message = report.message();
    if (!message.isEmpty())
        Prompts::instance().information(this, message);
}

void TStringGrid::listFocusLost(QComboBox *list)
{
    // Decided once the focus has settled: while Qt builds a list's pop-up the
    // first time, the list loses the focus for a moment and gets it back.
    QTimer::singleShot(0, list, [this, list] {
        if (!list->isVisible() || list->hasFocus() || list->view()->isVisible())
            return;
        const QWidget *now = QApplication::focusWidget();
        // Another window (a message, a menu) or none has the focus: the user
        // comes back to the list as left.
        if (!now || now->window() != window())
            return;
        list->hide(); // left without a choice: the cell keeps its text
    });
}

bool TStringGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == this) {
            if (keysDiscarded(key))
                return true;
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
                return handleKey(key, KeySource::View);
        } else if (watched == focusTarget()) {
            if (!m_editing && ExtendsSelection(key)) { // while editing, Shift with the arrows selects text
                extendSelection(key);
                return true;
            }
            if (handleKey(key, KeySource::Editor))
                return true;
            if (EditsText(key))
                m_editing = true;
            return false;
        } else if (qobject_cast<QComboBox *>(watched)) {
            if (ExtendsSelection(key)) { // not a choice of the list's next entry
                extendSelection(key);
                return true;
            }
            return handleKey(key, KeySource::List);
        }
        return QTableView::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseButtonPress && watched == focusTarget())
        m_editing = true; // a click into the text places the cursor there
    auto *list = qobject_cast<QComboBox *>(watched);
    if (list && event->type() == QEvent::FocusIn)
        preselect(list);
    if (list && event->type() == QEvent::FocusOut
        && static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
        listFocusLost(list);
    return QTableView::eventFilter(watched, event);
}
