#include "app/VersionForm.h"

#include "app/BoxLook.h"
#include "app/VersionPicture.h"

#include "ui_VersionForm.h"

#include <QKeyEvent>
#include <QMouseEvent>

TFormVersion::TFormVersion(const QString &version, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , ui(std::make_unique<Ui::TFormVersion>())
{
    ui->setupUi(this);
    setFixedSize(size());
    SetBackground(this, BoxLook::kNavy);
    for (QWidget *panel :
        { static_cast<QWidget *>(ui->Panel1), static_cast<QWidget *>(ui->Panel2), static_cast<QWidget *>(ui->Panel3) })
        SetBackground(panel, Qt::white);
    ui->Image1->setPixmap(DrawVersionPicture(ui->Image1->size()));

    SetFontPixels(ui->Label2, 16, false);
    SetTextColour(ui->Label2, BoxLook::kNavy);
    SetFontPixels(ui->Panel3, ui->Panel3->fontInfo().pixelSize(), true);
    SetTextColour(ui->Panel3, BoxLook::kNavy);
    ui->Panel3->installEventFilter(this);
    ui->Label2->setText(version);
}

TFormVersion::~TFormVersion() = default;

void TFormVersion::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ui->Panel2->setFocus();
}

void TFormVersion::Panel2Click()
{
    ui->Panel2->setFrameShadow(QFrame::Sunken);
    ui->Panel2->repaint();
    accept();
}

void TFormVersion::keyPressEvent(QKeyEvent *event)
{
    // The box has no real button; the keys a button would take close it too.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
    case Qt::Key_Escape:
        Panel2Click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool TFormVersion::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Panel3 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Panel2Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
