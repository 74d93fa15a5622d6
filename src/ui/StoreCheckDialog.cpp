#include "ui/StoreCheckDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
QTableWidgetItem *Item(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setToolTip(text);
    return item;
}
} // namespace

StoreCheckDialog::StoreCheckDialog(const QList<StoreIssue> &issues, QWidget *parent)
    : QDialog(parent)
    , m_table(new QTableWidget(int(issues.size()), 6, this))
{
    setObjectName(u"StoreCheckDialog"_s);
    setWindowTitle(u"Проверка перед записью"_s);
    auto *intro = new QLabel(
        u"ККТ сохранит эти значения не так, как они записаны в программе (значений: %1)."_s.arg(issues.size()), this);
    intro->setWordWrap(true);

    m_table->setObjectName(u"tblStoreIssues"_s);
    m_table->setHorizontalHeaderLabels(
        { u"Таблица"_s, u"Строка"_s, u"Поле"_s, u"Значение"_s, u"В ККТ будет"_s, u"Причина"_s });
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int i = 0; i < issues.size(); ++i) {
        const StoreIssue &issue = issues.at(i);
        const QStringList texts { TableTitle(issue.kind), QString::number(issue.row),
            FieldTitle(issue.kind, issue.row, issue.col), issue.value, issue.stored, issue.reason };
        for (int col = 0; col < texts.size(); ++col)
            m_table->setItem(i, col, Item(texts.at(col)));
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    intro->setBuddy(m_table);
    m_table->setAccessibleName(intro->text());

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *asIs = buttons->addButton(u"Записать как есть"_s, QDialogButtonBox::AcceptRole);
    asIs->setObjectName(u"btnWriteAsIs"_s);
    asIs->setAutoDefault(false);
    QPushButton *cancel = buttons->addButton(u"Отмена"_s, QDialogButtonBox::RejectRole);
    cancel->setObjectName(u"btnCancel"_s);
    cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *column = new QVBoxLayout(this);
    column->addWidget(intro);
    column->addWidget(m_table, 1);
    column->addWidget(buttons);
    resize(900, 400);
    cancel->setFocus();
}
