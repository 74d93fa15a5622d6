#pragma once

#include <QString>

#include <cstdio>

// Prints the text at once, in UTF-8.
void Print(FILE *stream, const QString &text);

// The answer of a tool to a command line it does not run: the help text on
// standard output (status 0) when there is no error, else "tool: error" and a
// pointer to --help on standard error (usageStatus).
int AnswerCommandLine(const QString &tool, const QString &error, const QString &help, int usageStatus);
