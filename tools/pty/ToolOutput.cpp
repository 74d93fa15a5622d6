#include "ToolOutput.h"

using namespace Qt::StringLiterals;

void Print(FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

int AnswerCommandLine(const QString &tool, const QString &error, const QString &help, int usageStatus)
{
    if (error.isEmpty()) {
        Print(stdout, help);
        return 0;
    }
    Print(stderr, u"%1: %2\nСправка: %1 --help\n"_s.arg(tool, error));
    return usageStatus;
}
