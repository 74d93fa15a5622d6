#include "ui/QtPrompts.h"

#include "ui/DialogFolders.h"
#include "ui/StoreCheckDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace {
// The texts carry Windows line breaks; a label wants plain ones.
QString ForDisplay(const QString &text)
{
    QString shown = text;
    shown.replace(u"\r\n"_s, u"\n"_s);
    return shown;
}

QMessageBox::StandardButton Show(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text,
    QMessageBox::StandardButtons buttons, const QString &detail = QString())
{
    QMessageBox box(icon, title, ForDisplay(text), buttons, parent ? parent : QApplication::activeWindow());
    if (!detail.isEmpty())
        box.setInformativeText(ForDisplay(detail));
    if (QAbstractButton *yes = box.button(QMessageBox::Yes))
        yes->setText(u"Да"_s);
    if (QAbstractButton *no = box.button(QMessageBox::No)) {
        no->setText(u"Нет"_s);
        // Questions guard destructive steps (clearing the register's goods
        // base): Enter pressed by habit must not say yes.
        box.setDefaultButton(QMessageBox::No);
    }
    // With a way back, Enter pressed by habit takes it and keeps everything.
    if (QAbstractButton *cancel = box.button(QMessageBox::Cancel)) {
        cancel->setText(u"Отмена"_s);
        box.setDefaultButton(QMessageBox::Cancel);
    }
    return QMessageBox::StandardButton(box.exec());
}

QString AskFileName(QWidget *parent, QFileDialog::AcceptMode mode, const QString &filter, const QString &defaultSuffix)
{
    const QString title = mode == QFileDialog::AcceptOpen ? u"Открыть"_s : u"Сохранить как"_s;
    QFileDialog dialog(parent ? parent : QApplication::activeWindow(), title);
    dialog.setNameFilters(QtPrompts::NameFilters(filter));
    dialog.setAcceptMode(mode);
    // Opening a missing configuration gives the defaults and a missing goods
    // file is created, so opening takes any name as saving does.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    // Each kind of file opens where the last one of its kind was.
    if (const QString last = DialogFolders::Last(defaultSuffix); !last.isEmpty())
        dialog.setDirectory(last);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    // A native dialog may leave the suffix to us.
    const QString chosen = QtPrompts::WithDefaultSuffix(dialog.selectedFiles().constFirst(), defaultSuffix);
    DialogFolders::Remember(defaultSuffix, chosen);
    return chosen;
}
} // namespace

void QtPrompts::information(QWidget *parent, const QString &text)
{
    Show(parent, QMessageBox::Information, u"Информация"_s, text, QMessageBox::Ok);
}

void QtPrompts::error(QWidget *parent, const QString &text)
{
    detailedError(parent, text, QString());
}

void QtPrompts::detailedError(QWidget *parent, const QString &text, const QString &detail)
{
    Show(parent, QMessageBox::Critical, u"Ошибка"_s, text, QMessageBox::Ok, detail);
}

void QtPrompts::warning(QWidget *parent, const QString &text)
{
    // A confirmation-kind box: the question icon, yet only OK to press.
    Show(parent, QMessageBox::Question, u"Подтверждение"_s, text, QMessageBox::Ok);
}

bool QtPrompts::question(QWidget *parent, const QString &text)
{
    return captionedQuestion(parent, u"Подтверждение"_s, text);
}

bool QtPrompts::captionedQuestion(QWidget *parent, const QString &caption, const QString &text)
{
    return Show(parent, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString QtPrompts::openFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix)
{
    return AskFileName(parent, QFileDialog::AcceptOpen, filter, defaultSuffix);
}

QString QtPrompts::saveFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix)
{
    return AskFileName(parent, QFileDialog::AcceptSave, filter, defaultSuffix);
}

bool QtPrompts::confirmStore(QWidget *parent, const QList<StoreIssue> &issues)
{
    StoreCheckDialog dialog(issues, parent ? parent : QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted;
}

Prompts::SaveAnswer QtPrompts::askSaveChanges(QWidget *parent, const QString &text)
{
    switch (Show(parent, QMessageBox::Question, u"Подтверждение"_s, text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return SaveAnswer::Save;
    case QMessageBox::No:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

QStringList QtPrompts::NameFilters(const QString &filter)
{
    QStringList filters;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &text = parts.at(i);
        const QString patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts).join(u' ');
        // QFileDialog reads the patterns from the parentheses at the end of the text.
        const QString tail = u"("_s + patterns + u")"_s;
        filters << (text.endsWith(tail) ? text : text + u" "_s + tail);
    }
    return filters;
}

QString QtPrompts::WithDefaultSuffix(const QString &fileName, const QString &defaultSuffix)
{
    if (fileName.isEmpty() || defaultSuffix.isEmpty() || QFileInfo(fileName).fileName().contains(u'.'))
        return fileName;
    return fileName + u"."_s + defaultSuffix;
}
