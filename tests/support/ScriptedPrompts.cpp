#include "ScriptedPrompts.h"

using namespace Qt::StringLiterals;

ScriptedPrompts::ScriptedPrompts()
{
    Prompts::setInstance(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    Prompts::setInstance(nullptr);
}

ScriptedPrompts &ScriptedPrompts::expect(Kind kind)
{
    m_queue.append({ kind, true, {} });
    return *this;
}

ScriptedPrompts &ScriptedPrompts::answerQuestion(bool yes)
{
    m_queue.append({ Kind::Question, yes, {} });
    return *this;
}

ScriptedPrompts &ScriptedPrompts::answerStoreCheck(bool writeAsIs)
{
    m_queue.append({ Kind::StoreCheck, writeAsIs, {} });
    return *this;
}

ScriptedPrompts &ScriptedPrompts::answerSaveChanges(SaveAnswer answer)
{
    m_queue.append({ Kind::SaveChanges, false, {}, answer });
    return *this;
}

ScriptedPrompts &ScriptedPrompts::answerFile(Kind kind, const QString &fileName)
{
    m_queue.append({ kind, true, fileName });
    return *this;
}

QString ScriptedPrompts::verdict() const
{
    QStringList lines = m_problems;
    for (const Answer &answer : m_queue)
        lines << u"never shown: "_s + KindName(answer.kind);
    return lines.join(u"; "_s);
}

void ScriptedPrompts::reset()
{
    messages.clear();
    m_queue.clear();
    m_problems.clear();
}

const ScriptedPrompts::Answer *ScriptedPrompts::play(
    Kind kind, const QString &text, const QString &defaultSuffix, const QString &detail)
{
    messages.append({ kind, text, defaultSuffix, {}, detail });
    if (whileShown)
        whileShown(messages.constLast());
    if (m_queue.isEmpty() || m_queue.constFirst().kind != kind) {
        m_problems << u"unexpected "_s + KindName(kind) + u": "_s + text;
        return nullptr;
    }
    m_played = m_queue.takeFirst();
    return &m_played;
}

void ScriptedPrompts::information(QWidget *, const QString &text)
{
    play(Kind::Information, text);
}

void ScriptedPrompts::error(QWidget *, const QString &text)
{
    play(Kind::Error, text);
}

void ScriptedPrompts::detailedError(QWidget *, const QString &text, const QString &detail)
{
    play(Kind::Error, text, QString(), detail);
}

void ScriptedPrompts::warning(QWidget *, const QString &text)
{
    play(Kind::Warning, text);
}

bool ScriptedPrompts::question(QWidget *, const QString &text)
{
    const Answer *answer = play(Kind::Question, text);
    return answer && answer->yes;
}

bool ScriptedPrompts::captionedQuestion(QWidget *parent, const QString &caption, const QString &text)
{
    const bool yes = question(parent, text);
    messages.last().caption = caption;
    return yes;
}

QString ScriptedPrompts::openFileName(QWidget *, const QString &filter, const QString &defaultSuffix)
{
    const Answer *answer = play(Kind::OpenFile, filter, defaultSuffix);
    return answer ? answer->fileName : QString();
}

QString ScriptedPrompts::saveFileName(QWidget *, const QString &filter, const QString &defaultSuffix)
{
    const Answer *answer = play(Kind::SaveFile, filter, defaultSuffix);
    return answer ? answer->fileName : QString();
}

bool ScriptedPrompts::confirmStore(QWidget *, const QList<StoreIssue> &issues)
{
    QStringList lines;
    for (const StoreIssue &issue : issues)
        lines << StoreIssueLine(issue);
    const Answer *answer = play(Kind::StoreCheck, lines.join(u'\n'));
    return answer && answer->yes;
}

Prompts::SaveAnswer ScriptedPrompts::askSaveChanges(QWidget *, const QString &text)
{
    const Answer *answer = play(Kind::SaveChanges, text);
    return answer ? answer->save : SaveAnswer::Cancel; // unexpected: as the box's default
}

QString ScriptedPrompts::KindName(Kind kind)
{
    switch (kind) {
    case Kind::Information:
        return u"information"_s;
    case Kind::Error:
        return u"error"_s;
    case Kind::Warning:
        return u"warning"_s;
    case Kind::Question:
        return u"question"_s;
    case Kind::OpenFile:
        return u"open file"_s;
    case Kind::SaveFile:
        return u"save file"_s;
    case Kind::StoreCheck:
        return u"store check"_s;
    case Kind::SaveChanges:
        return u"save changes"_s;
    }
    return u"?"_s;
}
