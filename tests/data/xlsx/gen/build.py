"""Writes the generated .xlsx fixtures and their expected texts.

Run with Debian's Python, which sees python3-openpyxl:

    /usr/bin/python3 tests/data/xlsx/gen/build.py

openpyxl writes every workbook. It cannot write a built-in number format
without its numFmt element, as Excel does for the Chinese date formats
27-36 and 50-58, so for those cells the styles part is rewritten afterwards:
their cell formats get the built-in id and the placeholder numFmt goes.
"""
import datetime as dt
import os
import re
import sys
import zipfile

import openpyxl

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(OUT, "..", "xls", "gen"))
from model import date_text, num_text  # noqa: E402  the value-to-text rule

CHINESE_DATE_IDS = list(range(27, 37)) + list(range(50, 59))
WHEN = dt.datetime(2015, 11, 9, 13, 5, 7)


def text(value):
    if value is None:
        return ""
    if isinstance(value, bool):
        return "真" if value else "假"
    if isinstance(value, (int, float)):
        return num_text(value)
    if isinstance(value, dt.datetime):
        return date_text(value)
    if isinstance(value, dt.date):
        return date_text(value)
    if isinstance(value, str) and value.startswith("="):
        return ""  # openpyxl stores no cached result
    return value


def write_expected(name, rows):
    width = max(len(r) for r in rows)
    with open(os.path.join(OUT, "expected", name + ".tsv"), "w", encoding="utf-8", newline="\n") as f:
        for r in rows:
            cells = [text(v) for v in r] + [""] * (width - len(r))
            f.write("\t".join(cells) + "\n")


def put_rows(sheet, rows):
    for r in rows:
        sheet.append(r)


def use_builtin_ids(path, placeholders):
    """Gives the cell formats that use a placeholder format its built-in id
    and drops the placeholder's numFmt element."""
    with zipfile.ZipFile(path) as z:
        parts = {n: z.read(n) for n in z.namelist()}
    styles = parts["xl/styles.xml"].decode("utf-8")
    for code, builtin in placeholders.items():
        escaped = code.replace('"', "&quot;")
        m = re.search(r'<numFmt numFmtId="(\d+)" formatCode="%s"/>' % re.escape(escaped), styles)
        assert m, code
        styles = styles.replace(m.group(0), "")
        styles = styles.replace('numFmtId="%s"' % m.group(1), 'numFmtId="%d"' % builtin)
    count = len(re.findall(r"<numFmt ", styles))
    styles = re.sub(r'<numFmts count="\d+">', '<numFmts count="%d">' % count, styles)
    parts["xl/styles.xml"] = styles.encode("utf-8")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for n, data in parts.items():
            z.writestr(n, data)


def cells_fixture():
    """Two sheets, the decoy first; sheet1 in lower case holds booleans,
    inline strings, numbers, a formula without a cached result, and a date
    in every Chinese built-in date format."""
    name = "cells_openpyxl"
    wb = openpyxl.Workbook()
    decoy = wb.active
    decoy.title = "说明"
    put_rows(decoy, [["请在sheet1中填写"], ["图书编号"], ["X99999"]])
    sheet = wb.create_sheet("sheet1")
    rows = [
        ["图书编号", "书名", "是否借出", "入库时间", "页数", "备注"],
        ["G00001", "红楼梦", True, WHEN, 169, "=1+1"],
        ["G00002", " 前后有空格 ", False, WHEN.date(), 15.5, "=A2&\"续\""],
        ["G00003", "O'Neil 张", None, None, 9787538722314, None],
        ["G00004", "中国通史（第一卷）", None, None, 12345678901234, None],
        ["G00005", "万一", None, None, 0.0001, None],
    ]
    placeholders = {}
    for i, builtin in enumerate(CHINESE_DATE_IDS):
        rows.append(["H%05d" % (i + 1), "格式 %d" % builtin, None, WHEN])
    put_rows(sheet, rows)
    for i, builtin in enumerate(CHINESE_DATE_IDS):
        code = 'yyyy"placeholder%d"' % builtin
        sheet.cell(row=7 + i, column=4).number_format = code
        placeholders[code] = builtin
    sheet.cell(row=2, column=4).number_format = "yyyy\\-mm\\-dd hh:mm:ss"
    sheet.cell(row=3, column=4).number_format = "mm-dd-yy"
    path = os.path.join(OUT, name + ".xlsx")
    wb.save(path)
    use_builtin_ids(path, placeholders)
    write_expected(name, rows)


def date1904_fixture():
    name = "date1904_openpyxl"
    wb = openpyxl.Workbook()
    wb.epoch = openpyxl.utils.datetime.CALENDAR_MAC_1904
    sheet = wb.active
    sheet.title = "Sheet1"
    rows = [["图书编号", "入库时间"], ["E00001", WHEN], ["E00002", dt.datetime(2008, 1, 1)]]
    put_rows(sheet, rows)
    wb.save(os.path.join(OUT, name + ".xlsx"))
    write_expected(name, rows)


def iso_dates_fixture():
    name = "iso_dates_openpyxl"
    wb = openpyxl.Workbook(iso_dates=True)
    sheet = wb.active
    sheet.title = "Sheet1"
    rows = [["图书编号", "入库时间"], ["D00001", WHEN], ["D00002", dt.datetime(2008, 1, 1)]]
    put_rows(sheet, rows)
    wb.save(os.path.join(OUT, name + ".xlsx"))
    write_expected(name, rows)


if __name__ == "__main__":
    cells_fixture()
    date1904_fixture()
    iso_dates_fixture()
