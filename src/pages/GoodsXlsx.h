#pragma once

#include "pages/PageResult.h"
#include "pages/StringGridModel.h"

#include <QString>

// The goods base as an Excel workbook (*.xlsx), written with libxlsxwriter and
// laid out as the workbook import reads it (GoodsSheet): one sheet "Товары",
// a heading row, goods rows 1 .. 6000 on sheet rows 2 .. 6001. Codes are
// text cells in columns formatted as text (so a code typed in later stays
// text too); a price is a number shown with as many decimals as the grid
// has it ("0.00" for 12.50), any other price text a text cell; columns are
// as wide as their longest text. The workbook is made in a private
// temporary folder and then saved atomically over `path`: a failure leaves
// the previous file whole. The message on success is "Файл успешно сохранен!".
PageResult ExportGoodsXlsx(const QString &path, const StringGridModel &goods);
