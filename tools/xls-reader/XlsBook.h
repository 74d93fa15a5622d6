#pragma once

#include "pages/XlsCells.h"

// The goods cells of an Excel 97-2003 workbook: FreeXL for the cells it
// reads, the workbook stream's own records for the results of formulas
// (which FreeXL gives as empty). 0 with the sheet, or an XlsCells::Exit code.
int ReadXlsBook(const char *fileName, XlsCells::Sheet &sheet);
