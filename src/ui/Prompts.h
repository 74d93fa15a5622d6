#pragma once

#include "pages/RegisterView.h"

#include <QList>
#include <QString>

class QWidget;

// Every message box and file dialog of the program goes through this one
// interface, so that a test can answer them in advance instead of a person.
// Message texts are the program's own, with "\r\n" line breaks.
class Prompts
{
public:
    enum class Kind {
        Information, // OK only
        Error, // OK only
        Warning, // a confirmation-kind message with OK only
        Question, // Yes / No
        OpenFile,
        SaveFile,
        StoreCheck, // the values a write would change: "Записать как есть" / "Отмена"
        SaveChanges, // Yes / No / Cancel before unsaved edits would go
    };
    enum class SaveAnswer { Save, Discard, Cancel };

    virtual ~Prompts() = default;

    virtual void information(QWidget *parent, const QString &text) = 0;
    virtual void error(QWidget *parent, const QString &text) = 0;
    // An error with what it means and what to do shown under its text (the
    // text itself as it always was); prompts without room for it show the text.
    virtual void detailedError(QWidget *parent, const QString &text, const QString &detail)
    {
        Q_UNUSED(detail);
        error(parent, text);
    }
    virtual void warning(QWidget *parent, const QString &text) = 0;
    // True for "Yes".
    virtual bool question(QWidget *parent, const QString &text) = 0;
    // A Yes/No question under a caption of its own instead of the usual one;
    // prompts without captions ask it as any question.
    virtual bool captionedQuestion(QWidget *parent, const QString &caption, const QString &text)
    {
        Q_UNUSED(caption);
        return question(parent, text);
    }
    // filter: pairs of display text and patterns, all separated by "|" (several
    // patterns of one pair by ";"): "Байлы конфигурации (*.conf)|*.conf".
    // defaultSuffix ("conf", no dot) is appended to a name typed without one.
    // Both take a name that does not exist and never ask before replacing a
    // file: what a missing or existing file means is the caller's business.
    // Empty when the user cancels.
    virtual QString openFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix) = 0;

    // "Проверка перед записью": the cells the register would keep otherwise
    // than the grids say, before a write sends anything. True for "Записать
    // как есть"; "Отмена" is the default.
    virtual bool confirmStore(QWidget *parent, const QList<StoreIssue> &issues) = 0;

    // "Да" / "Нет" / "Отмена" before unsaved edits would be lost; "Отмена" is
    // the default and what closing the box means.
    virtual SaveAnswer askSaveChanges(QWidget *parent, const QString &text) = 0;

    // One line of the check's list as the message records and tests see it:
    // "Таблица, строка N, Поле: «value» → «stored» (reason)".
    static QString StoreIssueLine(const StoreIssue &issue);

    // The prompts in use: the real dialogs unless a test installed its own.
    static Prompts &instance();
    // Installs prompts (not owned); nullptr brings the real dialogs back.
    static void setInstance(Prompts *prompts);
};
