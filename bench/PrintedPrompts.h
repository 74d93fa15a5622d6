#pragma once

#include "ui/Prompts.h"

#include <cstdio>

// Nobody is there to press OK in a benchmark: a message is printed instead,
// a question is answered No and a file dialog cancelled, unless a file to
// open was named.
class PrintedPrompts final : public Prompts
{
public:
    void information(QWidget *, const QString &text) override { Print(text); }
    void error(QWidget *, const QString &text) override { Print(text); }
    void warning(QWidget *, const QString &text) override { Print(text); }
    bool question(QWidget *, const QString &text) override
    {
        Print(text);
        return false;
    }
    QString openFileName(QWidget *, const QString &, const QString &) override { return fileToOpen; }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return {}; }
    // The benchmark's own data: written as it is.
    bool confirmStore(QWidget *, const QList<StoreIssue> &) override { return true; }
    // A benchmark's window closes without saving.
    SaveAnswer askSaveChanges(QWidget *, const QString &text) override
    {
        Print(text);
        return SaveAnswer::Discard;
    }

    QString fileToOpen;

private:
    static void Print(const QString &text) { std::printf("message: %s\n", qPrintable(text)); }
};
