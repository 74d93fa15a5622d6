#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// The recognition of scanned codes, without a port or a thread: the bytes of
// one code are collected in the assembly buffer until a CR ends them, then an
// EAN-13 or EAN-8 code is taken out of them (also out of a GS1 DataMatrix
// payload). Every step leaves its trace line for the scanner log.
class TScanAssembly
{
public:
    static constexpr int kBufSize = 201; // one read never brings more
    static constexpr int kEanSize = 200; // bytes beyond this many are dropped

    // What one read did to the buffer: trace lines in order, and the code
    // text when the read completed one (the empty text included).
    struct Step
    {
        QStringList trace;
        std::optional<QString> code;
    };

    TScanAssembly() { Reset(); }

    // A fresh zero-filled buffer: a code interrupted by an idle line is dropped.
    void Reset();

    // Appends the bytes of one read (those beyond the 200th are dropped) and,
    // when a CR at index 1 or later completes a code, extracts it, delivers
    // its text and resets the buffer. A read that renders empty in the log
    // (only blanks, LF or zero bytes) is not taken: the caller skips it.
    Step Collect(QByteArrayView bytes);

    // Index of the first CR; 0 when there is none, also for a CR at index 0.
    int PosCR() const;
    // The first lenEan bytes as text when exactly 8 or 13 of them, else empty.
    QString GetEanStr() const;

    int lenEan() const { return m_lenEan; }
    QByteArray bufEan() const { return m_bufEan; }

    // Bytes as log text: CR as "< 13 >", every other byte as the character of
    // its value; characters 0..32 removed from both ends.
    static QString BufToLogStr(QByteArrayView bytes);

private:
    // Takes out the code that ends at P; the trace line of the rule that matched, if any.
    std::optional<QString> Extract(int P);
    void Keep(int from, int count);

    QByteArray m_bufEan;
    int m_lenEan = 0;
};
