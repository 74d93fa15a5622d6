#pragma once

#include "ui/Prompts.h"

#include <QStringList>

// The real dialogs: QMessageBox and QFileDialog.
class QtPrompts final : public Prompts
{
public:
    void information(QWidget *parent, const QString &text) override;
    void error(QWidget *parent, const QString &text) override;
    void detailedError(QWidget *parent, const QString &text, const QString &detail) override;
    void warning(QWidget *parent, const QString &text) override;
    bool question(QWidget *parent, const QString &text) override;
    bool captionedQuestion(QWidget *parent, const QString &caption, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix) override;
    QString saveFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix) override;
    bool confirmStore(QWidget *parent, const QList<StoreIssue> &issues) override;
    SaveAnswer askSaveChanges(QWidget *parent, const QString &text) override;

    // A filter of "text|patterns" pairs as QFileDialog name filters: "Файлы БД (*.db102)|*.db102"
    // gives "Файлы БД (*.db102)", "Все файлы|*.*" gives "Все файлы (*.*)".
    static QStringList NameFilters(const QString &filter);
    // The name with "." + defaultSuffix appended when its file name has no dot, as QFileDialog does.
    static QString WithDefaultSuffix(const QString &fileName, const QString &defaultSuffix);
};
