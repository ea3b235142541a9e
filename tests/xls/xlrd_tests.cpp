// Workbooks the program writes are read back by an independent reader,
// Python's xlrd (Debian's python3-xlrd, run as /usr/bin/python3), and must
// say the same as the program's own reader.
#include "library/templates.h"
#include "test_support.h"
#include "xls/connect_string.h"
#include "xls/sheet_statement.h"
#include "xls/sheet_text.h"
#include "xls/workbook_connection.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace chengxi::xls;
using namespace chengxi::xls::testing;

namespace {

using chengxi::library::templateHeaders;
using chengxi::library::TemplateKind;
using chengxi::library::writeTemplate;

// Dumps the first sheet the way the value-to-text rule reads it, with the
// first font and the column widths, one escaped line per row.
constexpr std::string_view kDumpScript = R"PY(
import datetime, sys
import xlrd

sys.dont_write_bytecode = True
sys.path.insert(0, sys.argv[3])  # the fixtures' own value-to-text rule
from model import num_text, date_text

def serial_text(x, datemode):
    base = datetime.datetime(1904, 1, 1) if datemode else datetime.datetime(1899, 12, 30)
    days = int(x // 1)
    return date_text(base + datetime.timedelta(days=days, seconds=int(round((x - days) * 86400.0))))

def text(bk, c):
    if c.ctype == xlrd.XL_CELL_TEXT:
        return c.value
    if c.ctype == xlrd.XL_CELL_NUMBER:
        return num_text(c.value)
    if c.ctype == xlrd.XL_CELL_DATE:
        return serial_text(c.value, bk.datemode)
    if c.ctype == xlrd.XL_CELL_BOOLEAN:
        return "真" if c.value else "假"
    return ""

def esc(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")

bk = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sh = bk.sheet_by_index(0)
with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as out:
    out.write("sheet\t%s\n" % sh.name)
    out.write("font\t%s\t%d\n" % (bk.font_list[0].name, bk.font_list[0].height))
    out.write("widths\t%s\n" % ",".join("%d:%d" % (c, sh.colinfo_map[c].width) for c in sorted(sh.colinfo_map)))
    for r in range(sh.nrows):
        out.write("\t".join(esc(text(bk, sh.cell(r, c))) for c in range(sh.ncols)) + "\n")
)PY";

struct XlrdView {
    std::string sheet;
    std::string font;
    std::string widths;
    std::vector<std::vector<std::string>> rows;
};

XlrdView readWithXlrd(const TempDir& dir, const std::string& workbook) {
    const std::string script = dir.file("dump.py");
    const std::string output = dir.file("dump.tsv");
    writeWholeFile(script, kDumpScript);
    const std::string command = std::string(kPython) + " \"" + script + "\" \"" + workbook +
                                "\" \"" + output + "\" \"" CHENGXI_TEST_DATA "/xls/gen\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    XlrdView view;
    auto lines = readTsv(output);
    EXPECT_GE(lines.size(), 3u);
    if (lines.size() < 3) {
        return view;
    }
    view.sheet = lines[0].at(1);
    view.font = lines[1].at(1) + " " + lines[1].at(2);
    view.widths = lines[2].at(1);
    for (std::size_t i = 3; i < lines.size(); ++i) {
        std::vector<std::string> row;
        for (const std::string& cell : lines[i]) {
            row.push_back(unescapeDumpCell(cell));
        }
        view.rows.push_back(std::move(row));
    }
    return view;
}

// xlrd and the program agree cell by cell; xlrd counts formatted blank rows
// and columns, which read as empty texts.
void expectSameRows(const XlrdView& xlrd, const SheetText& own) {
    const std::size_t rows = std::max(xlrd.rows.size(), own.rows.size());
    for (std::size_t r = 0; r < rows; ++r) {
        const std::vector<std::string> none;
        const auto& a = r < xlrd.rows.size() ? xlrd.rows[r] : none;
        const auto& b = r < own.rows.size() ? own.rows[r] : none;
        for (std::size_t c = 0; c < std::max(a.size(), b.size()); ++c) {
            const std::string x = c < a.size() ? a[c] : "";
            const std::string y = c < b.size() ? b[c] : "";
            ASSERT_EQ(x, y) << "row " << r + 1 << " column " << c + 1;
        }
    }
}

// Row `r` of the program's view, as wide as `width`.
std::vector<std::string> rowOf(const SheetText& sheet, std::size_t r, std::size_t width) {
    std::vector<std::string> row;
    for (std::size_t c = 0; c < width; ++c) {
        row.push_back(sheet.at(r, c));
    }
    return row;
}

std::string repeat(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

// Rows through the connection, as an export adds them.
void exportRows(const std::string& path, TemplateKind kind,
                const std::vector<std::vector<std::string>>& rows) {
    ASSERT_TRUE(writeTemplate(kind, path));
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(connectString(path))) << connection.lastError();
    const auto headers = templateHeaders(kind);
    for (const auto& row : rows) {
        ASSERT_TRUE(connection.execute(insertStatement(headers, row))) << connection.lastError();
    }
    ASSERT_TRUE(connection.close()) << connection.lastError();
}

// Realistic Chinese catalogue text, different in every row.
std::vector<std::string> bookRow(int i) {
    static const char* titles[] = {"红楼梦", "中国通史（第一卷）", "Python编程：从入门到实践",
                                   "读者,意林|合订本", "Tim O'Brien 文集"};
    const std::string n = std::to_string(i);
    return {"978753872" + n,
            "A" + n,
            "I242.4",
            "文学",
            std::to_string(i % 3 + 1),
            std::string(titles[i % 5]) + "·" + n,
            "曹雪芹",
            "人民文学出版社",
            std::to_string(100 + i % 900),
            "32开",
            "2008-1",
            "第" + std::to_string(i % 9 + 1) + "版",
            std::to_string(i % 100) + ".00元",
            "书架" + std::to_string(i % 40),
            "2015年11月9日",
            i % 2 == 0 ? "0" : "1"};
}

} // namespace

TEST(Xlrd, ReadsEveryTemplate) {
    if (!xlrdAvailable()) {
        GTEST_SKIP() << "/usr/bin/python3 with xlrd is not installed";
    }
    TempDir dir;
    struct Case {
        TemplateKind kind;
        const char* sheet;
        const char* font;
        const char* widths;
    };
    for (const Case& c : {Case{TemplateKind::Books, "sheet1", "宋体 200", ""},
                          Case{TemplateKind::Readers, "Sheet1", "宋体 240",
                               "0:3552,1:2720,2:4128,3:2848,4:4448,5:2912,6:4896,7:2688"},
                          Case{TemplateKind::LoanReport, "Sheet1", "宋体 240",
                               "0:3552,1:2720,2:4128,3:2848,4:4448,5:2912,6:2688"}}) {
        const std::string path = dir.file("template.xls");
        ASSERT_TRUE(writeTemplate(c.kind, path));
        const XlrdView view = readWithXlrd(dir, path);
        EXPECT_EQ(view.sheet, c.sheet);
        EXPECT_EQ(view.font, c.font);
        EXPECT_EQ(view.widths, c.widths);
        ASSERT_FALSE(view.rows.empty());
        const auto headers = templateHeaders(c.kind);
        EXPECT_EQ(view.rows[0], std::vector<std::string>(headers.begin(), headers.end()));
    }
}

TEST(Xlrd, ReadsTenThousandRowsOfChineseText) {
    if (!xlrdAvailable()) {
        GTEST_SKIP() << "/usr/bin/python3 with xlrd is not installed";
    }
    TempDir dir;
    const std::string path = dir.file("图书.xls");
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 10000; ++i) {
        rows.push_back(bookRow(i));
    }
    exportRows(path, TemplateKind::Books, rows);
    const auto own = readFirstSheet(path);
    ASSERT_TRUE(own.ok()) << own.error();
    ASSERT_EQ(own->rows.size(), 10001u);
    EXPECT_EQ(rowOf(*own, 10000, 16), rows[9999]);
    expectSameRows(readWithXlrd(dir, path), *own);
}

TEST(Xlrd, ReadsUnusualAndLongTexts) {
    if (!xlrdAvailable()) {
        GTEST_SKIP() << "/usr/bin/python3 with xlrd is not installed";
    }
    TempDir dir;
    const std::string path = dir.file("texts.xls");
    std::vector<std::vector<std::string>> rows = {
        {"4班", "O'Brien", "'", "''", "' or '1'='1", "a,b,c"},
        {"|", "A00001|A00007|", "红楼梦,续|三国演义|", "tab\there", "line\nbreak", "back\\slash"},
        {repeat("a", 255), repeat("书", 255), repeat("汉字", 1000), repeat("é", 2000),
         repeat("😀", 2000), ""},
        {repeat("x", 32767), repeat("中", 32767), "😀", "€", "全角｜竖线", "末"},
    };
    // Characters beyond the basic plane (two UTF-16 units each) where the
    // string table is cut into records: xlrd decodes each record's piece on
    // its own and fails on half a pair.
    for (std::size_t lead = 0; lead < 4; ++lead) {
        rows.push_back(
            {repeat("a", lead) + repeat("😀", 6000), "x", "y", "z", "w", std::to_string(lead)});
    }
    exportRows(path, TemplateKind::Readers, rows);
    const auto own = readFirstSheet(path);
    ASSERT_TRUE(own.ok()) << own.error();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rowOf(*own, i + 1, 6), rows[i]) << "row " << i + 2;
    }
    expectSameRows(readWithXlrd(dir, path), *own);
}

TEST(Xlrd, ReadsASheetFilledToItsLastRow) {
    if (!xlrdAvailable()) {
        GTEST_SKIP() << "/usr/bin/python3 with xlrd is not installed";
    }
    TempDir dir;
    const std::string path = dir.file("full.xls");
    ASSERT_TRUE(writeTemplate(TemplateKind::LoanReport, path));
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(connectString(path)));
    const auto headers = templateHeaders(TemplateKind::LoanReport);
    for (int i = 1; i <= 65535; ++i) {
        const std::vector<std::string> row = {"A" + std::to_string(i), "红楼梦", "1班-张三",
                                              "2015年11月16日", ""};
        ASSERT_TRUE(connection.execute(insertStatement(headers, row))) << i;
    }
    const std::vector<std::string> extra = {"A65536", "多出的一行", "", "", ""};
    EXPECT_FALSE(connection.execute(insertStatement(headers, extra)));
    ASSERT_TRUE(connection.close());
    const auto own = readFirstSheet(path);
    ASSERT_TRUE(own.ok()) << own.error();
    ASSERT_EQ(own->rows.size(), 65536u);
    EXPECT_EQ(own->at(65535, 0), "A65535");
    expectSameRows(readWithXlrd(dir, path), *own);
}

TEST(Xlrd, ReadsForeignWorkbooksRewrittenByTheProgram) {
    if (!xlrdAvailable()) {
        GTEST_SKIP() << "/usr/bin/python3 with xlrd is not installed";
    }
    TempDir dir;
    for (const char* name : {"books_basic_lo.xls", "books_date1904_xlwt.xls", "formulas_lo.xls",
                             "books_sst_continue_xlwt.xls"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name);
        std::filesystem::copy_file(pathFromUtf8(fixture(name)), pathFromUtf8(path));
        WorkbookConnection connection;
        ASSERT_TRUE(connection.open(connectString(path)));
        ASSERT_TRUE(connection.execute(
            "insert into [Sheet1$] ([图书编号],[书名]) values ('Z00001','新增')"));
        ASSERT_TRUE(connection.close());
        const auto own = readFirstSheet(path);
        ASSERT_TRUE(own.ok()) << own.error();
        const auto& header = own->rows.front();
        const auto column = std::find(header.begin(), header.end(), "图书编号") - header.begin();
        EXPECT_EQ(own->at(own->rows.size() - 1, static_cast<std::size_t>(column)), "Z00001");
        expectSameRows(readWithXlrd(dir, path), *own);
    }
}
