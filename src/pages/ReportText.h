#pragma once

#include <QString>

// Pieces of the messages that tell what a paste, a fill or an import did.

// Russian noun forms after a number, each form with %1 for it: 1 ячейка,
// 2 ячейки, 5 ячеек (11..14 take the last).
QString Plural(int n, const QString &one, const QString &few, const QString &many);

// A cell's text as a mark or a message may quote it: in «», on one line and
// not too long.
QString QuotedCell(const QString &text);

// The head of a list of barcodes that no scanner gives: "3 штрих-кода сканер
// не прочтёт (ККТ сохранит их как есть):".
QString UnscannableHead(int n);
