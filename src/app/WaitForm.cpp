#include "app/WaitForm.h"

#include "app/BoxLook.h"

#include "ui_WaitForm.h"

TFormWait::TFormWait(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , ui(std::make_unique<Ui::TFormWait>())
{
    ui->setupUi(this);
    setFixedSize(size());
    setAttribute(Qt::WA_DeleteOnClose);
    SetBackground(this, Qt::white);
    SetFontPixels(ui->Label1, 13, false);
    SetFontPixels(ui->Label2, 13, false);
}

TFormWait::~TFormWait() = default;

void TFormWait::ShowNow()
{
    show();
    repaint();
}
