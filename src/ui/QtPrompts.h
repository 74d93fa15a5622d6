#pragma once

#include "ui/Prompts.h"

// The real dialogs: QMessageBox and QFileDialog.
class QtPrompts final : public Prompts
{
public:
    void information(QWidget *parent, const QString &text) override;
    void error(QWidget *parent, const QString &text) override;
    void warning(QWidget *parent, const QString &text) override;
    bool question(QWidget *parent, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix) override;
    QString saveFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix) override;
};
