#include "app/pages/PageTitle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

QLabel *AddPageTitle(QWidget *page, TitleFace face)
{
    auto *title = new QLabel(page);
    title->setObjectName(u"Label1"_s);
    QFont font = title->font();
    font.setBold(true);
    if (face == TitleFace::Serif) {
        // The register's own tools use Times New Roman; DejaVu Serif is there on every Debian.
        font.setFamilies({ u"Times New Roman"_s, u"DejaVu Serif"_s, u"Liberation Serif"_s });
        font.setStyleHint(QFont::Serif);
    }
    title->setFont(font);
    auto *column = new QVBoxLayout(page);
    column->addWidget(title, 0, Qt::AlignRight);
    column->addStretch();
    return title;
}
