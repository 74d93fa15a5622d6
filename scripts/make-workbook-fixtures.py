#!/usr/bin/python3
"""Writes the .xlsx and .ods fixtures of the goods import tests, and the .xls one
with formulas (tests/fixtures/), and the 6000-row books of bench/bench_imports
(bench/workbooks/goods-6000.zip). The .xls fixtures without formulas come from
scripts/make-xls-fixtures.py.

Run from the repository root:
    scripts/deps.sh python3-openpyxl libreoffice-calc-nogui && /usr/bin/python3 scripts/make-workbook-fixtures.py
openpyxl writes the books; LibreOffice (headless) computes the formulas and
saves each book as the spreadsheet programs do, with the formulas' results.
The produced files are committed; the tests never run LibreOffice.
"""
import datetime
import os
import shutil
import subprocess
import tempfile
import zipfile

import openpyxl

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tests", "fixtures")

HEADING = ["Код", "Группа", "Штрих-код", "Наименование", "Отдел", "Цена", "Маркировка"]


def book_with_heading(title):
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = title
    sheet.append(HEADING)
    return book, sheet


def put(sheet, sheet_row, values):
    """values: {sheet column (from 1): value}; sheet_row counts from 1 like the sheet shows it."""
    for col, value in values.items():
        sheet.cell(row=sheet_row, column=col, value=value)


def goods(folder):
    """The rows of goods.xls, and what only the newer formats carry: number
    formats, a date for a price, empty rows, merged cells, a second sheet."""
    book, sheet = book_with_heading("Товары")
    put(sheet, 2, {1: 1, 3: 4600000000001, 4: "Хлеб", 5: 2, 6: 35.5, 7: "м"})
    put(sheet, 3, {3: "4601234567890", 4: "Молоко", 5: "3", 6: "12,5"})
    put(sheet, 4, {4: "Сок", 6: 12})
    put(sheet, 5, {4: "Вода"})  # no price: 0.00
    put(sheet, 6, {4: "Чай", 6: "abc", 7: "М"})
    put(sheet, 7, {3: 123456789012, 4: "  Кофе  ", 6: 0.05})
    put(sheet, 8, {3: 4607000000008, 4: "Сыр", 6: 7.5})
    sheet["F8"].number_format = '#,##0.00" ₽"'  # a price with a number format: its number
    sheet["C8"].number_format = "0"
    put(sheet, 9, {4: "Мёд", 6: datetime.date(2024, 1, 5)})  # a date for a price: refused
    # rows 10 and 11 empty
    put(sheet, 12, {4: "Объединённая", 6: 3})
    sheet.merge_cells("D12:E12")  # the name over the section: the section is empty
    put(sheet, 6001, {4: "Последний", 6: 1})  # goods row 6000
    put(sheet, 6002, {4: "Лишний", 6: 2})  # no goods row: reported
    other = book.create_sheet("Другой")
    other.append(HEADING)
    put(other, 2, {4: "Не отсюда"})
    path = os.path.join(folder, "goods.xlsx")
    book.save(path)
    return path


def formulas(folder):
    """Names, codes and prices computed by formulas: the books keep their results."""
    book, sheet = book_with_heading("Товары")
    put(sheet, 2, {3: "=4600000000000+1", 4: '="Хлеб "&"белый"', 5: 2, 6: "=10*1.25"})
    put(sheet, 3, {3: 4601234567890, 4: "Молоко", 5: 3, 6: "=1/0"})  # an error: refused
    put(sheet, 4, {4: '=UPPER("сок")', 6: "=F2*2"})
    put(sheet, 5, {4: "Вода", 6: "=0.1+0.2"})  # 0.3 as the sheet shows it
    put(sheet, 6, {4: "Чай", 6: "=100/3", 7: '=IF(1>0,"м","")'})
    path = os.path.join(folder, "formulas.xlsx")
    book.save(path)
    return path


def wrong_layout(folder):
    """Name, Barcode, Price, Section from column A on: refused, the grid kept."""
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.append(["Наименование", "Штрих-код", "Цена", "Отдел"])
    sheet.append(["Хлеб", 4600000000001, 59.9, 2])
    sheet.append(["Молоко", 4601234567890, 89.5, 3])
    sheet.append(["Сок", 4607000000001, 120, 1])
    path = os.path.join(folder, "wrong-layout.xlsx")
    book.save(path)
    return path


INLINE_SHEET = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>
<row r="1"><c r="D1" t="inlineStr"><is><t>Наименование</t></is></c></row>
<row><c r="C2"><v>4.600000000001E+12</v></c><c t="inlineStr"><is><r><t>Хлеб </t></r><r><t>белый</t></r><rPh><t>x</t></rPh></is></c><c><v>2</v></c><c t="str"><f>F9*2</f><v>12.50</v></c></row>
<row r="4"><c r="D4" t="inlineStr"><is><t>Без результата</t></is></c><c r="F4"><f>A1*2</f></c></row>
<row r="5"><c r="D5" t="b"><v>1</v></c><c r="F5" t="e"><f>1/0</f><v>#DIV/0!</v></c></row>
<row r="6"><c r="D6" t="inlineStr"><is><t>Дата</t></is></c><c r="F6" t="d"><v>2024-01-05T00:00:00</v></c></row>
</sheetData></worksheet>
"""


def inline_strings(folder):
    """What LibreOffice and openpyxl do not write but other programs do:
    inline strings, rows and cells without numbers, a number with an
    exponent, a formula without its result, a boolean, an error, a date cell."""
    path = os.path.join(folder, "inline.xlsx")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>')
        z.writestr("xl/workbook.xml", '<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Лист" sheetId="1" r:id="rId7"/></sheets></workbook>')
        z.writestr("xl/_rels/workbook.xml.rels", '<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId7" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/first.xml"/></Relationships>')
        z.writestr("xl/worksheets/first.xml", INLINE_SHEET)
    return path


def bench_goods(folder):
    """6000 goods rows as a user's list holds them, for bench/bench_imports."""
    book, sheet = book_with_heading("Товары")
    for n in range(1, 6001):
        sheet.append([n, "", 4600000000000 + n, "Товар номер %d" % n, n % 16, n + 0.5, "м" if n % 2 else ""])
    path = os.path.join(folder, "goods-6000.xlsx")
    book.save(path)
    return path


def convert(sources, to, folder):
    """LibreOffice saves each source as `to` into folder (it computes the formulas first)."""
    profile = tempfile.mkdtemp(prefix="lo-profile-")
    try:
        subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless", "--convert-to", to,
                        "--outdir", folder] + sources, check=True, stdout=subprocess.DEVNULL)
    finally:
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    with tempfile.TemporaryDirectory() as work:
        sources = [goods(work), formulas(work)]
        convert(sources, "xlsx", OUT)  # as the spreadsheet programs write it: results of formulas, shared strings
        convert(sources, "ods", OUT)
        convert([sources[1]], "xls", OUT)
        shutil.copy(wrong_layout(work), os.path.join(OUT, "wrong-layout.xlsx"))
    inline_strings(OUT)
    # The bench's three books in one archive (the .xls alone would take 800 KB).
    with tempfile.TemporaryDirectory() as work:
        source = bench_goods(work)
        books = os.path.join(work, "books")
        names = []
        for to in ("xls", "xlsx", "ods"):
            convert([source], to, books)
            names.append("goods-6000." + to)
        bench = os.path.join(HERE, "..", "bench", "workbooks")
        os.makedirs(bench, exist_ok=True)
        with zipfile.ZipFile(os.path.join(bench, "goods-6000.zip"), "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
            for name in names:
                z.write(os.path.join(books, name), name)
