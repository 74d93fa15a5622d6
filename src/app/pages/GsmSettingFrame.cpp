#include "app/pages/GsmSettingFrame.h"

#include "app/pages/PageTitle.h"

#include <QLabel>

using namespace Qt::StringLiterals;

TFrameGsmSetting::TFrameGsmSetting(QWidget *parent)
    : QWidget(parent)
    , Label1(AddPageTitle(this))
{ }

void TFrameGsmSetting::Init(TKktSession &)
{
    Label1->setText(u"Параметры GSM/Wi-Fi"_s);
}
