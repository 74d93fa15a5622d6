#include "app/service/LogView.h"

#include "ui/Contrast.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
// Blank space left of the text, as a text box leaves it.
constexpr int kMargin = 4;
// Fills taller than this are split between threads by the raster engine; on
// a busy machine handing them over costs more than the fill itself.
constexpr int kFillBand = 64;

void FillInBands(QPainter &painter, const QRect &rect, const QBrush &brush)
{
    for (int y = rect.top(); y <= rect.bottom(); y += kFillBand)
        painter.fillRect(QRect(rect.left(), y, rect.width(), qMin(kFillBand, rect.bottom() + 1 - y)), brush);
}

// A log that grows moves its scroll bar's range and value with every line,
// while the handle it draws stays put for thousands of lines (at the end,
// at its smallest). It repaints only when the handle moves.
class LogScrollBar final : public QScrollBar
{
public:
    explicit LogScrollBar(QWidget *parent)
        : QScrollBar(Qt::Vertical, parent)
    { }

    // Range and value change together when lines arrive: the handle is
    // compared once both have settled, not at the range change in between
    // (the old value in the new range), which would paint it twice.
    template <typename Change> void changeTogether(Change change)
    {
        m_holding = true;
        change();
        m_holding = false;
        repaintIfMoved();
    }

protected:
    void sliderChange(SliderChange change) override
    {
        if (change == SliderOrientationChange)
            QScrollBar::sliderChange(change);
        else if (!m_holding)
            repaintIfMoved();
    }

private:
    void repaintIfMoved()
    {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QRect handle = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
        if (handle != m_handle) {
            m_handle = handle;
            QScrollBar::sliderChange(SliderValueChange);
        }
    }

    QRect m_handle;
    bool m_holding = false;
};
} // namespace

LogView::LogView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setVerticalScrollBar(new LogScrollBar(this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The view paints its whole area itself, so a scroll can move the pixels
    // already shown and leave only the rows that come into view to paint.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
}

void LogView::appendLines(const QString &text, const QColor &colour)
{
    const int firstNewRow = m_rowCount;
    for (QStringView part : QStringView(text).tokenize(u'\n')) {
        Line line { part.toString(), colour, {}, m_rowCount };
        wrap(line);
        m_rowCount += 1 + int(line.breaks.size());
        m_lines.push_back(std::move(line));
    }
    QScrollBar *bar = verticalScrollBar();
    static_cast<LogScrollBar *>(bar)->changeTogether([&] {
        updateScrollRange();
        bar->setValue(bar->maximum());
    });
    if (!isVisible())
        return;
    // The transactions block the event loop: without a repaint now the log
    // would stay stale until a long run ends. The rows scrolled out of the
    // way were moved already; the new ones are painted and the lot shown.
    const int rh = rowHeight();
    const QRect rows(0, (firstNewRow - bar->value()) * rh, viewport()->width(), (m_rowCount - firstNewRow) * rh);
    const QRect exposed = rows.intersected(viewport()->rect());
    if (!exposed.isEmpty())
        viewport()->repaint(exposed);
}

void LogView::clear()
{
    m_lines.clear();
    m_rowCount = 0;
    updateScrollRange();
    viewport()->update();
}

QString LogView::toPlainText() const
{
    QStringList lines;
    lines.reserve(qsizetype(m_lines.size()));
    for (const Line &line : m_lines)
        lines << line.text;
    return lines.join(u'\n');
}

qreal LogView::advance(QChar c)
{
    const auto it = m_advances.constFind(c.unicode());
    if (it != m_advances.cend())
        return *it;
    const qreal width = QFontMetricsF(font()).horizontalAdvance(c);
    m_advances.insert(c.unicode(), width);
    return width;
}

// Breaks after a run of blanks, as word wrap does; a word longer than a row is
// cut where the row ends. Blanks at the end of a row hang beyond it.
void LogView::wrap(Line &line)
{
    line.breaks.clear();
    const QString &text = line.text;
    const qreal width = qMax(1, m_wrapWidth);
    qreal x = 0;
    int rowStart = 0;
    int lastBreak = -1;
    for (int i = 0; i < int(text.size()); ++i) {
        const QChar c = text[i];
        const qreal a = advance(c);
        if (c == u' ') {
            x += a;
            lastBreak = i + 1;
            continue;
        }
        if (x + a <= width || i == rowStart) {
            x += a;
            continue;
        }
        const int at = lastBreak > rowStart ? lastBreak : i;
        line.breaks.push_back(at);
        rowStart = at;
        x = 0;
        for (int k = at; k <= i; ++k)
            x += advance(text[k]);
    }
}

void LogView::rewrapAll()
{
    m_rowCount = 0;
    for (Line &line : m_lines) {
        line.firstRow = m_rowCount;
        wrap(line);
        m_rowCount += 1 + int(line.breaks.size());
    }
}

int LogView::rowHeight() const
{
    return qMax(1, fontMetrics().lineSpacing());
}

int LogView::visibleRows() const
{
    return qMax(1, viewport()->height() / rowHeight());
}

void LogView::updateScrollRange()
{
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(visibleRows());
    bar->setRange(0, qMax(0, m_rowCount - visibleRows()));
}

int LogView::lineOfRow(int row) const
{
    const auto it = std::upper_bound(
        m_lines.begin(), m_lines.end(), row, [](int r, const Line &line) { return r < line.firstRow; });
    return int(it - m_lines.begin()) - 1;
}

void LogView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect area = event->rect();
    FillInBands(painter, area, palette().base());
    if (m_lines.empty())
        return;
    const int rh = rowHeight();
    const int ascent = fontMetrics().ascent();
    const int top = verticalScrollBar()->value();
    const int firstRow = top + area.top() / rh;
    const int lastRow = qMin(m_rowCount - 1, top + area.bottom() / rh);
    int lineIndex = lineOfRow(firstRow);
    for (int row = firstRow; row <= lastRow && lineIndex >= 0; ++row) {
        while (lineIndex + 1 < lineCount() && m_lines[size_t(lineIndex + 1)].firstRow <= row)
            ++lineIndex;
        const Line &line = m_lines[size_t(lineIndex)];
        const int sub = row - line.firstRow;
        const int start = sub == 0 ? 0 : line.breaks[size_t(sub - 1)];
        const int end = sub < int(line.breaks.size()) ? line.breaks[size_t(sub)] : int(line.text.size());
        if (end <= start)
            continue;
        painter.setPen(shownColour(line.colour));
        painter.drawText(QPointF(kMargin, (row - top) * rh + ascent), line.text.mid(start, end - start));
    }
}

void LogView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    const bool atEnd = verticalScrollBar()->value() == verticalScrollBar()->maximum();
    const int width = viewport()->width() - 2 * kMargin;
    if (width != m_wrapWidth) {
        m_wrapWidth = width;
        rewrapAll();
    }
    updateScrollRange();
    if (atEnd)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogView::scrollContentsBy(int, int dy)
{
    viewport()->scroll(0, dy * rowHeight());
}

QColor LogView::shownColour(const QColor &colour) const
{
    if (!colour.isValid())
        return palette().color(QPalette::Text);
    const auto it = m_shownColours.constFind(colour.rgb());
    if (it != m_shownColours.cend())
        return *it;
    const QColor shown = Contrast::ReadableOn(colour, palette().color(QPalette::Base));
    m_shownColours.insert(colour.rgb(), shown);
    return shown;
}

void LogView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        m_shownColours.clear();
    if (event->type() == QEvent::FontChange) {
        m_advances.clear();
        rewrapAll();
        updateScrollRange();
        viewport()->update();
    }
}

void LogView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copyAll();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void LogView::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu menu(this);
    menu.addAction(u"Копировать весь журнал"_s, this, &LogView::copyAll)->setEnabled(!m_lines.empty());
    menu.exec(event->globalPos());
}

void LogView::copyAll()
{
    if (QClipboard *clipboard = QApplication::clipboard())
        clipboard->setText(toPlainText());
}
