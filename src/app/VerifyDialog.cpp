#include "app/VerifyDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TVerifyDialog::TVerifyDialog(QWidget *parent)
    : QDialog(parent)
    , m_summary(new QLabel(this))
    , m_table(new QTableWidget(0, 5, this))
{
    setObjectName(u"VerifyDialog"_s);
    setWindowTitle(u"Сверка с ККТ"_s);
    m_summary->setObjectName(u"lblVerifySummary"_s);
    m_table->setObjectName(u"tblDifferences"_s);
    m_table->setHorizontalHeaderLabels({ u"Таблица"_s, u"Строка"_s, u"Поле"_s, u"В программе"_s, u"В ККТ"_s });
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setToolTip(u"Двойной щелчок показывает ячейку в её таблице"_s);
    m_summary->setBuddy(m_table);
    // Activation is a double click, or Enter on the keyboard.
    connect(m_table, &QTableWidget::cellActivated, this, [this](int row, int) {
        if (row >= 0 && row < m_differences.size())
            emit showCell(m_differences[row].kind, m_differences[row].row, m_differences[row].col);
    });

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(u"Закрыть"_s);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_summary);
    column->addWidget(m_table, 1);
    column->addWidget(buttons);
    resize(760, 420);
}

void TVerifyDialog::ShowResult(const VerifyResult &result)
{
    m_differences = result.differences;
    m_summary->setText(u"Совпадает: %1, различается: %2"_s.arg(result.equalRows).arg(result.rows - result.equalRows));
    m_table->setAccessibleName(m_summary->text());
    m_table->setRowCount(int(m_differences.size()));
    for (int i = 0; i < m_differences.size(); ++i) {
        const VerifyDifference &d = m_differences.at(i);
        const QStringList texts { TableTitle(d.kind), QString::number(d.row), FieldTitle(d.kind, d.row, d.col),
            d.program, d.kkt };
        for (int col = 0; col < texts.size(); ++col) {
            auto *item = new QTableWidgetItem(texts.at(col));
            item->setToolTip(texts.at(col));
            m_table->setItem(i, col, item);
        }
    }
    m_table->resizeColumnsToContents();
    show();
    raise();
    activateWindow();
}
