#include "pages/GsmSettingFrame.h"

#include "pages/PageTitle.h"

#include <QLabel>

using namespace Qt::StringLiterals;

TFrameGsmSetting::TFrameGsmSetting(QWidget *parent)
    : QWidget(parent)
    , Label1(AddPageTitle(this))
{ }

void TFrameGsmSetting::Init()
{
    Label1->setText(u"Параметры GSM/Wi-Fi"_s);
}
