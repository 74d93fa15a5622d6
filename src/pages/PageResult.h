#pragma once

#include <QString>

// What a page or a tool shows of an operation: whether it worked, the text to
// show (an error when not ok, an information otherwise; empty when nothing is
// to be shown) and, where there is one, the number of rows it handled.
struct PageResult
{
    bool ok = true;
    QString message;
    int count = 0;

    static PageResult Failure(const QString &text)
    {
        PageResult result;
        result.ok = false;
        result.message = text;
        return result;
    }
    static PageResult Success(const QString &text = {}, int count = 0)
    {
        PageResult result;
        result.message = text;
        result.count = count;
        return result;
    }
};
