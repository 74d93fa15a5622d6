#!/usr/bin/python3
"""Writes the spreadsheet fixtures of the goods import tests (tests/fixtures/*.xls).

Run from the repository root: scripts/deps.sh python3-xlwt && /usr/bin/python3 scripts/make-xls-fixtures.py
Needs python3-xlwt (Debian package). The produced files are committed.
"""
import os

import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "tests", "fixtures")

HEADING = ["Код", "Группа", "Штрих-код", "Наименование", "Отдел", "Цена", "Маркировка"]


def sheet_with_heading(book, name):
    sheet = book.add_sheet(name)
    for col, text in enumerate(HEADING):
        sheet.write(0, col, text)
    return sheet


def put(sheet, sheet_row, values):
    """values: {sheet column (from 1): value}; sheet_row counts from 1 like the sheet shows it."""
    for col, value in values.items():
        sheet.write(sheet_row - 1, col - 1, value)


def goods():
    book = xlwt.Workbook(encoding="utf-8")
    sheet = sheet_with_heading(book, "Товары")
    put(sheet, 2, {1: 1, 3: 4600000000001, 4: "Хлеб", 5: 2, 6: 35.5, 7: "м"})
    put(sheet, 3, {3: "4601234567890", 4: "Молоко", 5: "3", 6: "12,5"})
    put(sheet, 4, {4: "Сок", 6: 12})
    put(sheet, 5, {4: "Вода"})  # no price: 0.00
    put(sheet, 6, {4: "Чай", 6: "abc", 7: "М"})
    put(sheet, 7, {3: 123456789012.0, 4: "  Кофе  ", 6: 0.05})
    put(sheet, 6001, {4: "Последний", 6: 1})  # goods row 6000
    put(sheet, 6002, {4: "Лишний", 6: 2})  # no goods row: ignored
    other = sheet_with_heading(book, "Другой")
    put(other, 2, {4: "Не отсюда"})
    book.save(os.path.join(OUT, "goods.xls"))


def heading_only():
    book = xlwt.Workbook(encoding="utf-8")
    sheet_with_heading(book, "Лист1")
    book.save(os.path.join(OUT, "heading-only.xls"))


# A workbook that crashes FreeXL 1.0.6 (SIGSEGV while it opens the book): goods.xls
# with four bytes of a record set to zero. Found by zeroing four bytes at each
# offset in turn and opening each result.
DAMAGED_OFFSET = 2209


def damaged():
    with open(os.path.join(OUT, "goods.xls"), "rb") as f:
        data = bytearray(f.read())
    data[DAMAGED_OFFSET:DAMAGED_OFFSET + 4] = b"\0\0\0\0"
    with open(os.path.join(OUT, "damaged.xls"), "wb") as f:
        f.write(bytes(data))


def foreign_names():
    """Names a Windows-1251 file cannot hold: goods rows 1 and 3."""
    book = xlwt.Workbook(encoding="utf-8")
    sheet = sheet_with_heading(book, "Товары")
    put(sheet, 2, {4: "茶叶", 6: 10})
    put(sheet, 3, {4: "Чай", 6: 11})
    put(sheet, 4, {4: "Кофе \u2615", 6: 12})
    book.save(os.path.join(OUT, "foreign-names.xls"))


def huge_cells():
    """The used cells of 1100 goods rows 8000 characters long each (one shared
    string, so the file stays small): 44 million characters once read, more
    than any goods file holds. (FreeXL 1.0.6 now and then fails to open a book
    of 32767-character strings, the longest a cell takes: not used here.)"""
    book = xlwt.Workbook(encoding="utf-8")
    sheet = sheet_with_heading(book, "Товары")
    text = "Я" * 8000
    for sheet_row in range(2, 1102):
        put(sheet, sheet_row, {col: text for col in range(3, 8)})
    book.save(os.path.join(OUT, "huge-cells.xls"))


def wrong_layout():
    """Name, Barcode, Price, Section from column A on: refused, the grid kept."""
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Товары")
    for col, text in enumerate(["Наименование", "Штрих-код", "Цена", "Отдел"]):
        sheet.write(0, col, text)
    put(sheet, 2, {1: "Хлеб", 2: 4600000000001, 3: 59.9, 4: 2})
    put(sheet, 3, {1: "Молоко", 2: 4601234567890, 3: 89.5, 4: 3})
    put(sheet, 4, {1: "Сок", 2: 4607000000001, 3: 120, 4: 1})
    book.save(os.path.join(OUT, "wrong-layout.xls"))


def one_bad_row():
    """The expected layout with one row whose barcode and price are no numbers (goods row 3)."""
    book = xlwt.Workbook(encoding="utf-8")
    sheet = sheet_with_heading(book, "Товары")
    put(sheet, 2, {3: 4600000000001, 4: "Хлеб", 5: 2, 6: 35.5})
    put(sheet, 3, {3: 4601234567890, 4: "Молоко", 5: 3, 6: "12,5"})
    put(sheet, 4, {3: "59.9х", 4: "Сок", 5: 1, 6: "дёшево"})
    put(sheet, 5, {3: 4607000000001, 4: "Вода", 5: 1, 6: 20})
    book.save(os.path.join(OUT, "one-bad-row.xls"))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    goods()
    heading_only()
    damaged()
    foreign_names()
    huge_cells()
    wrong_layout()
    one_bad_row()
