"""Workbooks whose cells hold characters code page 936 lacks (see ../README.md).

Regenerate with:  /usr/bin/python3 gen/build.py gen/unstorable_fixtures.py
xlwt counts characters, not UTF-16 units, so its files keep to the basic
plane; the SheetJS file carries the characters beyond it (an emoji).
"""
from model import N
from public_fixtures import BOOK_HEADERS, READER_HEADERS, book

UNSTORABLE_BOOKS = [
    book(图书编号="U00001", 书名="红楼梦", 单价="15.00元"),
    book(图书编号="U00002", 书名="笑脸😀故事集", 著译者="佚名"),
    book(图书编号="U00003", 书名="欧元€与日元", 著译者="Tim O'Brien"),
    book(图书编号="U00004", 书名="韩国语入门", 著译者="김한국"),
    book(图书编号="U00005", 书名="正常的书"),
]

UNSTORABLE_READERS = [
    ["1班", "张三", N(201409001)],
    ["1班", "Muñoz", "201409002"],
    ["2班", "李四", "201409003", "A00001|", "2015年11月16日|", "✓红楼梦|"],
    ["2班", "王五", "201409004"],
    ["2班", "赵六", "한201409005"],
]

FIXTURES = [
    {"name": "books_unstorable_sheetjs.xls", "writer": "sheetjs",
     "sheets": [("Sheet1", [BOOK_HEADERS] + UNSTORABLE_BOOKS)]},
    {"name": "readers_unstorable_xlwt.xls", "writer": "xlwt",
     "sheets": [("Sheet1", [READER_HEADERS] + UNSTORABLE_READERS)]},
]
