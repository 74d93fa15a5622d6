#pragma once

#include "pages/GoodsRows.h"

#include <functional>

class TmyIniFile;

// The goods-base file (*.db102): one INI section "ТОВАР_#n" per goods row with
// plain (unguarded) values.

// Writes all 6000 rows, keeping whatever else the file holds; the previous file
// stays whole when the write fails.
PageResult SaveGoodsDb102(const QString &path, const StringGridModel &goods);

// Fills all 6000 rows with the values as the file has them; absent keys give
// the row defaults. A missing file is created empty and so resets every row;
// an existing file without a single goods key of rows 1..6000 is refused. On
// failure the grid is unchanged. The message tells the rows loaded and what
// the register would store otherwise (ImportReport).
PageResult LoadGoodsDb102(const QString &path, StringGridModel &goods);

// Hands take(row, key, text) every value the reads of the rows' keys find in a
// loaded store, in the store's order: its row 1..6000, its key (0..5: name,
// font, barcode, price, section, mark, as the row's cells) and its text (in
// the store, valid while it lives). Returns how many there were.
int ParseGoodsDb102(const TmyIniFile &ini, const std::function<void(int row, int key, QStringView text)> &take);
