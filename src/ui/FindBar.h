#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class TStringGrid;

// The find bar under a page's grids: a text looked for in the text columns of
// the grid showing (part of a name or a barcode, letter case aside), the
// previous and next match with the count, the match selected and shown. Enter
// goes to the next match, Shift+Enter to the previous, Escape closes the bar
// and gives the focus back to the grid. Ctrl+F in a grid attached opens it.
class TFindBar : public QWidget
{
    Q_OBJECT
public:
    using Target = std::function<TStringGrid *()>;
    // target: the grid to look in now (the tab showing).
    explicit TFindBar(Target target, QWidget *parent = nullptr);

    void attach(TStringGrid *grid);
    // Shows the bar with its text selected, ready for a new one.
    void open();
    void close();
    void findNext();
    void findPrevious();

    QLineEdit *field() const { return m_field; }
    QLabel *countLabel() const { return m_count; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Goes to a match from the grid's recorded cell; that cell itself counts when inclusive.
    void go(bool forward, bool inclusive);

    Target m_target;
    QLineEdit *m_field;
    QPushButton *m_previous;
    QPushButton *m_next;
    QLabel *m_count;
};
