#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The line the empty window shows until a page is: what to do next, with the
// buttons for it: "Связь с ККТ…" first, then the two pages.
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
    void openGsm();
    void openSet102();

private:
    QLabel *m_text;
    QPushButton *m_button;
    QPushButton *m_gsm;
    QPushButton *m_set102;
};
