#include "app/ConfigRunWindow.h"

#include "app/pages/RunPanel.h"

#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TConfigRunWindow::TConfigRunWindow(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint)
    , m_table(new QLabel(this))
    , m_panel(new TRunPanel(this))
{
    setObjectName(u"ConfigRunWindow"_s);
    m_table->setObjectName(u"lblRunTable"_s);
    auto *column = new QVBoxLayout(this);
    column->addWidget(m_table);
    column->addWidget(m_panel);
}

void TConfigRunWindow::start(const QString &title, int totalRows)
{
    setWindowTitle(title);
    m_panel->start(totalRows);
    show();
    raise();
}

void TConfigRunWindow::setTable(const QString &table)
{
    m_table->setText(u"Таблица: "_s + table);
}
