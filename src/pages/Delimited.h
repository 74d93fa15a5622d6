#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// Delimited text as spreadsheets write it (CSV with ";" or ",", tab-separated
// text): records end in LF, CR LF or CR; a cell that starts with a double
// quote runs to its closing quote, separators and line ends included, a
// doubled quote standing for one, and what follows the closing quote up to
// the next separator stays part of the cell. A quote elsewhere is a
// character like any other. The line end after the last record is no record
// of its own.
class DelimitedReader
{
public:
    DelimitedReader(QStringView text, QChar separator);

    // The next record's cells keepFrom .. keepFrom + keepCount - 1 (counted
    // from 0; cells the record lacks are empty, the others are read past
    // without being kept, so a huge cell elsewhere costs nothing). With
    // keepCount < 0 every cell of the record is kept. False at the end.
    bool next(QStringList &cells, qsizetype keepFrom = 0, qsizetype keepCount = -1);

    // The record last read opened a quote that the text never closes.
    bool unclosedQuote() const { return m_unclosed; }
    // The line (from 1) on which the record last read started.
    qsizetype recordLine() const { return m_recordLine; }

private:
    void readQuoted(QString *cell);

    QStringView m_text;
    QChar m_separator;
    qsizetype m_pos = 0;
    qsizetype m_line = 1;
    qsizetype m_recordLine = 0;
    bool m_unclosed = false;
};

// The cell between double quotes, each quote inside doubled.
QString QuoteCell(const QString &cell);

// Text of a delimited file: UTF-8 or UTF-16 after their byte order mark,
// UTF-8 without one when the bytes are valid UTF-8, Windows-1251 otherwise
// (the code page of files that Russian spreadsheets and 1C write).
QString DecodeDelimitedBytes(QByteArrayView bytes);

// The separator of a delimited text: of ";", tab and ",", the one its first
// record holds most often outside quotes (";" before tab before "," when as
// many); when that record holds none, the first records together decide.
// ";" when nothing decides.
QChar DetectSeparator(QStringView text);

// The line "sep=;" (any one character after "=") that Excel writes and
// reads before the data to name the separator: the separator and the line's
// length with its line end; a length of 0 when the text starts otherwise.
struct SeparatorLine
{
    QChar separator;
    qsizetype length = 0;
};
SeparatorLine ExcelSeparatorLine(QStringView text);
