#include "app/pages/PageTitle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

QLabel *AddPageTitle(QWidget *page)
{
    auto *title = new QLabel(page);
    title->setObjectName(u"Label1"_s);
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    auto *column = new QVBoxLayout(page);
    column->addWidget(title, 0, Qt::AlignRight);
    column->addStretch();
    return title;
}
