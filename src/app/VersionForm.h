#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TFormVersion;
}

// The version box: a borderless navy-framed box with a picture and the version.
class TFormVersion : public QDialog
{
    Q_OBJECT
public:
    TFormVersion(const QString &version, QWidget *parent = nullptr);
    ~TFormVersion() override;

public slots:
    // The click on the "OK" panel.
    void Panel2Click();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<Ui::TFormVersion> ui;
};
