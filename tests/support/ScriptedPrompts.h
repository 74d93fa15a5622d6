#pragma once

#include "ui/Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Prompts answered in advance. Installed for its lifetime. Every dialog must
// have been queued (kind and answer); each one shown is recorded with its
// text. A dialog with no queued answer, or of another kind than the next one
// queued, is recorded as a problem and answered No / cancelled; verdict()
// (checked in each test's cleanup) reports problems and answers never played.
class ScriptedPrompts final : public Prompts
{
public:
    struct Message
    {
        Kind kind;
        QString text; // message text, or the file filter of a file dialog
        QString defaultSuffix = {}; // of a file dialog
        QString caption = {}; // of a question with a caption of its own
        QString detail = {}; // the informative text under an error's text
    };

    ScriptedPrompts();
    ~ScriptedPrompts() override;

    // Queues the acknowledgement of a message box (information, error, warning).
    ScriptedPrompts &expect(Kind kind);
    // Queues the answer to a Yes/No question.
    ScriptedPrompts &answerQuestion(bool yes);
    // Queues the answer to the check before writing ("Записать как есть" for true).
    ScriptedPrompts &answerStoreCheck(bool writeAsIs);
    // Queues the answer to "Да" / "Нет" / "Отмена" before unsaved edits go.
    ScriptedPrompts &answerSaveChanges(SaveAnswer answer);
    // Queues the file name a file dialog returns (empty: cancelled).
    ScriptedPrompts &answerFile(Kind kind, const QString &fileName);

    QList<Message> messages; // every dialog shown, in order
    // Runs while each dialog is "open", after it has been recorded: what a
    // person does before closing it.
    std::function<void(const Message &)> whileShown;
    // Empty when every dialog was expected and every queued answer played.
    QString verdict() const;
    void reset();

    void information(QWidget *parent, const QString &text) override;
    void error(QWidget *parent, const QString &text) override;
    void detailedError(QWidget *parent, const QString &text, const QString &detail) override;
    void warning(QWidget *parent, const QString &text) override;
    bool question(QWidget *parent, const QString &text) override;
    bool captionedQuestion(QWidget *parent, const QString &caption, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix) override;
    QString saveFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix) override;
    // Recorded with the list's lines, one per issue, as its text.
    bool confirmStore(QWidget *parent, const QList<StoreIssue> &issues) override;
    SaveAnswer askSaveChanges(QWidget *parent, const QString &text) override;

    static QString KindName(Kind kind);

private:
    struct Answer
    {
        Kind kind;
        bool yes = false;
        QString fileName;
        SaveAnswer save = SaveAnswer::Cancel;
    };

    // Records the dialog and takes its queued answer; nullptr when unexpected.
    const Answer *play(
        Kind kind, const QString &text, const QString &defaultSuffix = QString(), const QString &detail = QString());

    QList<Answer> m_queue;
    Answer m_played;
    QStringList m_problems;
};
