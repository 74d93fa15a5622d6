#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The line the empty window shows until a page is: what to do first, with a
// button that opens "Связь с ККТ".
class TStartHint : public QWidget
{
    Q_OBJECT
public:
    explicit TStartHint(QWidget *parent = nullptr);

    // firstStart: no port chosen yet; programming: the "Программирование" menu is open.
    void describe(bool firstStart, bool programming);
    QString text() const;

signals:
    void openConnection();

private:
    QLabel *m_text;
    QPushButton *m_button;
};
