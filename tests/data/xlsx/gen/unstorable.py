"""Writes books_unstorable_openpyxl.xlsx: three books, the second with a
title holding "•", which code page 936 lacks, so the import leaves that row
out and lists it in 导入未成功的行.xls.

    /usr/bin/python3 tests/data/xlsx/gen/unstorable.py
"""
import os

import openpyxl

OUT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

book = openpyxl.Workbook()
sheet = book.active
sheet.title = "Sheet1"
sheet.append(["图书编号", "书名"])
sheet.append(["U00001", "红楼梦"])
sheet.append(["U00002", "要点•一"])
sheet.append(["U00003", "水浒传"])
book.save(os.path.join(OUT, "books_unstorable_openpyxl.xlsx"))
