#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QHash>
#include <QList>

#include <vector>

// A read-only text view for a log that only grows at its end: coloured lines,
// wrapped at blanks to the view's width, scrolled by rows. Appending costs the
// same with twelve thousand paragraphs shown as with none: a line is measured
// once, when it arrives, from a table of character widths, and a repaint after
// scrolling to the end paints only the rows that came into view.
//
// Whole lines are selected with the mouse (Shift extends) or Ctrl+A and copied
// with Ctrl+C (the whole log when nothing is selected); find() selects the next
// line holding a text. Its text reaches screen readers through the
// accessibility interface (QAccessibleTextInterface) as the lines joined by "\n".
class LogView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit LogView(QWidget *parent = nullptr);

    // Adds the text's lines (separated by "\n") at the end, all in one colour,
    // scrolls to the last row and repaints at once when shown.
    void appendLines(const QString &text, const QColor &colour);
    void clear();

    int lineCount() const { return int(m_lines.size()); }
    QString lineText(int line) const { return m_lines[size_t(line)].text; }
    // The colour a line was added in (invalid: the palette's text colour) and
    // the one it is painted in: the same hue, made readable on the view's base.
    QColor lineColour(int line) const { return m_lines[size_t(line)].colour; }
    QColor shownColour(const QColor &colour) const;
    // Every line, joined by "\n".
    QString toPlainText() const;
    // Characters of the joined text, and a piece of it.
    int characterCount() const;
    QString text(int start, int end) const;
    // Where a line starts in the joined text, and the line of a character.
    int lineOffset(int line) const { return m_lineStart[size_t(line)]; }
    int lineAt(int offset) const;

    // The selected lines, first to last; -1, -1 when none.
    int selectionFirst() const { return m_selFirst; }
    int selectionLast() const { return m_selLast; }
    void selectLines(int first, int last);
    void selectAll();
    void clearSelection();
    // The selected lines joined by "\n"; empty without a selection.
    QString selectedText() const;
    // Selects and shows the next line (after the selection; from the top
    // without one) holding the text, regardless of case; backward from the
    // line before the selection. Wraps around. False when no line holds it.
    bool find(const QString &text, bool backward = false);
    void scrollToLine(int line);
    // The first row of a line in viewport coordinates, and the line under a point.
    QRect lineRect(int line) const;
    int lineAtViewportPoint(const QPoint &point) const;
    // Rows the lines take at the present width.
    int rowCount() const { return m_rowCount; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Line
    {
        QString text;
        QColor colour;
        std::vector<int> breaks; // where the second and later rows of the line start
        int firstRow = 0;
    };

    void wrap(Line &line);
    void rewrapAll();
    qreal advance(QChar c);
    int rowHeight() const;
    int visibleRows() const;
    void updateScrollRange();
    // The line holding a row, by binary search over the lines' first rows.
    int lineOfRow(int row) const;
    void copyAll();
    void copy();
    void selectionChanged();

    std::vector<Line> m_lines;
    std::vector<int> m_lineStart; // offset of each line in the joined text
    int m_selFirst = -1;
    int m_selLast = -1;
    int m_anchor = -1; // the line a mouse selection started on
    int m_rowCount = 0;
    int m_wrapWidth = 0;
    QHash<char16_t, qreal> m_advances;
    mutable QHash<QRgb, QColor> m_shownColours; // per palette
};
