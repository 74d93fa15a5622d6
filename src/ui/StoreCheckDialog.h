#pragma once

#include "pages/RegisterView.h"

#include <QDialog>
#include <QList>

class QTableWidget;

// "Проверка перед записью": every cell the register would keep otherwise than
// the program holds it, with what it would get and why, before a write sends
// anything. "Записать как есть" accepts, "Отмена" (the default, and Escape)
// rejects.
class StoreCheckDialog : public QDialog
{
    Q_OBJECT
public:
    explicit StoreCheckDialog(const QList<StoreIssue> &issues, QWidget *parent = nullptr);

    QTableWidget *table() const { return m_table; }

private:
    QTableWidget *m_table;
};
