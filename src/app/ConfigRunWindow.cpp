#include "app/ConfigRunWindow.h"

#include "app/pages/RunPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TConfigRunWindow::TConfigRunWindow(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint)
    , m_table(new QLabel(this))
    , m_panel(new TRunPanel(this))
    , m_close(new QPushButton(u"Закрыть"_s, this))
{
    setObjectName(u"ConfigRunWindow"_s);
    m_table->setObjectName(u"lblRunTable"_s);
    m_close->setObjectName(u"btnCloseRun"_s);
    m_close->setAutoDefault(false);
    m_close->hide();
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_close);
    auto *column = new QVBoxLayout(this);
    // Never smaller than what it shows: a longer text widens the window.
    column->setSizeConstraint(QLayout::SetMinimumSize);
    column->addWidget(m_table);
    column->addWidget(m_panel);
    column->addLayout(buttons);
}

void TConfigRunWindow::start(const QString &title, int totalRows)
{
    setWindowTitle(title);
    m_close->hide();
    m_panel->start(totalRows);
    show();
    raise();
}

void TConfigRunWindow::setTable(const QString &table)
{
    m_table->setText(u"Таблица: "_s + table);
}

void TConfigRunWindow::offerResume(const QString &where)
{
    m_panel->offerResume(where);
    m_close->show();
    adjustSize();
}
