"""Workbooks whose cells hold characters code page 936 lacks (see ../README.md).

Regenerate with:  /usr/bin/python3 gen/build.py gen/unstorable_fixtures.py
xlwt counts characters, not UTF-16 units, so its files keep to the basic
plane; the SheetJS file carries the characters beyond it (an emoji).
"""
import datetime as dt

from model import B, D, N
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

# Six books as a librarian typed them, four lost to "•" (U+2022; code page 936
# has only the middle dot "·"): the columns in another order with an extra
# one, numbers, a date, a boolean, a row without a book number.
BULLET_HEADERS = ["出版处", "书名", "图书编号", "著译者", "条形码", "页数", "单价", "入库时间",
                  "是否借出", "备注"]
BULLET_BOOKS = [
    ["人民文学出版社", "哈利•波特与魔法石", "H00001", "J.K.罗琳", N(9787020033430), N(223),
     N(19.5, "0.00"), D(dt.datetime(2015, 11, 9, 13, 5), "yyyy-mm-dd hh:mm"), B(False), "第一册"],
    ["人民文学出版社", "红楼梦", "H00002", "曹雪芹", N(9787020002207), N(1606), N(59.7, "0.00"),
     D(dt.date(2015, 11, 9), "yyyy-mm-dd"), B(False), "备注•不导入"],
    [None, "哈利•波特（没有编号）"],
    ["人民文学出版社•珍藏版", "哈利•波特与密室", "H00003", "J•K•罗琳", N(9787020033447)],
    ["人民文学出版社", "三国演义", "H00004", "罗贯中"],
    ["上海人民出版社", "追风筝的人", "H00005", "卡勒德•胡赛尼", None, N(362)],
    ["群众出版社•珍藏版", "福尔摩斯探案集", "H00006", "柯南·道尔"],
]

FIXTURES = [
    {"name": "books_unstorable_sheetjs.xls", "writer": "sheetjs",
     "sheets": [("Sheet1", [BOOK_HEADERS] + UNSTORABLE_BOOKS)]},
    {"name": "readers_unstorable_xlwt.xls", "writer": "xlwt",
     "sheets": [("Sheet1", [READER_HEADERS] + UNSTORABLE_READERS)]},
    {"name": "books_bullet_xlwt.xls", "writer": "xlwt",
     "sheets": [("Sheet1", [BULLET_HEADERS] + BULLET_BOOKS)]},
]
