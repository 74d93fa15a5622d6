#include "ui/QtPrompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
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
    QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, ForDisplay(text), buttons, parent ? parent : QApplication::activeWindow());
    if (QAbstractButton *yes = box.button(QMessageBox::Yes))
        yes->setText(u"Да"_s);
    if (QAbstractButton *no = box.button(QMessageBox::No))
        no->setText(u"Нет"_s);
    return QMessageBox::StandardButton(box.exec());
}

QString AskFileName(QWidget *parent, QFileDialog::AcceptMode mode, const QString &filter, const QString &defaultSuffix)
{
    const QString title = mode == QFileDialog::AcceptOpen ? u"Открыть"_s : u"Сохранить как"_s;
    QFileDialog dialog(parent ? parent : QApplication::activeWindow(), title, QString(), filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

void QtPrompts::information(QWidget *parent, const QString &text)
{
    Show(parent, QMessageBox::Information, u"Информация"_s, text, QMessageBox::Ok);
}

void QtPrompts::error(QWidget *parent, const QString &text)
{
    Show(parent, QMessageBox::Critical, u"Ошибка"_s, text, QMessageBox::Ok);
}

void QtPrompts::warning(QWidget *parent, const QString &text)
{
    Show(parent, QMessageBox::Warning, u"Подтверждение"_s, text, QMessageBox::Ok);
}

bool QtPrompts::question(QWidget *parent, const QString &text)
{
    return Show(parent, QMessageBox::Question, u"Подтверждение"_s, text, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

QString QtPrompts::openFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix)
{
    return AskFileName(parent, QFileDialog::AcceptOpen, filter, defaultSuffix);
}

QString QtPrompts::saveFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix)
{
    return AskFileName(parent, QFileDialog::AcceptSave, filter, defaultSuffix);
}
