#include "app/pages/Set102Frame.h"

#include "app/pages/PageTitle.h"

#include <QLabel>

using namespace Qt::StringLiterals;

TFrameSet102::TFrameSet102(QWidget *parent)
    : QWidget(parent)
    , Label1(AddPageTitle(this))
{ }

void TFrameSet102::Init(TKktSession &)
{
    Label1->setText(u"Параметры 102"_s);
}
