// Workbooks written by other software read as their README says, cell by
// cell; the broken ones fail with a reason.
#include "test_support.h"
#include "xls/connect_string.h"
#include "xls/sheet_text.h"
#include "xls/workbook_connection.h"
#include "xls/workbook_file.h"

#include <gtest/gtest.h>

using namespace chengxi::xls;
using namespace chengxi::xls::testing;

namespace {

// Compares cell by cell; a row or column missing on one side counts as
// empty cells, as the two sides may differ in how far they pad.
void expectSheetMatches(const std::string& name) {
    SCOPED_TRACE(name);
    const auto sheet = readSheet(fixture(name + ".xls"), "Sheet1");
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    const auto expected = readTsv(fixture("expected/" + name + ".tsv"));
    ASSERT_FALSE(expected.empty());
    const std::size_t rows = std::max(expected.size(), sheet->rows.size());
    for (std::size_t r = 0; r < rows; ++r) {
        const std::vector<std::string> none;
        const auto& want = r < expected.size() ? expected[r] : none;
        const auto& got = r < sheet->rows.size() ? sheet->rows[r] : none;
        for (std::size_t c = 0; c < std::max(want.size(), got.size()); ++c) {
            const std::string w = c < want.size() ? want[c] : "";
            const std::string g = c < got.size() ? got[c] : "";
            EXPECT_EQ(g, w) << "row " << r + 1 << " column " << c + 1;
        }
    }
}

std::vector<std::string> columnOfQuery(WorkbookConnection& connection, const std::string& sql,
                                       const std::string& column) {
    std::vector<std::string> values;
    const QueryHandle query = connection.openQuery(sql);
    EXPECT_TRUE(query) << connection.lastError();
    for (connection.moveFirst(query); !connection.atEnd(query); connection.moveNext(query)) {
        values.push_back(connection.read(query, column));
    }
    connection.closeQueries();
    return values;
}

} // namespace

TEST(Fixtures, EveryWorkbookReadsAsExpected) {
    for (const char* name : {"books_basic_lo",
                             "books_basic_sheetjs",
                             "books_basic_xlwt",
                             "books_builtin_formats_xlwt",
                             "books_date1904_xlwt",
                             "books_header_only_xlwt",
                             "books_lowercase_sheet1_xlwt",
                             "books_no_lent_col_xlwt",
                             "books_reordered_extra_col_lo",
                             "books_sheet1_second_lo",
                             "books_sst_continue_lo",
                             "books_sst_continue_xlwt",
                             "formulas_lo",
                             "formulas_xlwt",
                             "readers_empty_text_cell_lo",
                             "readers_header_only_lo",
                             "readers_lo",
                             "readers_sheetjs",
                             "readers_three_cols_xlwt",
                             "readers_xlwt"}) {
        expectSheetMatches(name);
    }
}

TEST(Fixtures, TrickyBookCellsFromEveryWriter) {
    for (const char* name :
         {"books_basic_lo.xls", "books_basic_xlwt.xls", "books_basic_sheetjs.xls"}) {
        SCOPED_TRACE(name);
        const auto sheet = readSheet(fixture(name), "Sheet1");
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        ASSERT_GE(sheet->rows.size(), 10u);
        const auto rows = [&](std::size_t r) {
            return [&, r](std::size_t c) { return sheet->at(r, c); };
        };
        EXPECT_EQ(rows(1)(0), "9787538722314");
        EXPECT_EQ(rows(2)(0), "1.234567890123e+013");
        EXPECT_EQ(rows(1)(12), "15");                   // 15 shown as 15.00
        EXPECT_EQ(rows(1)(14), "2015年11月9日");        // date
        EXPECT_EQ(rows(2)(14), "2015年11月9日13时5分"); // stored a hair before 13:05
        EXPECT_EQ(rows(2)(15), "真");
        EXPECT_EQ(rows(6)(15), "假");
        EXPECT_EQ(rows(8)(14), "2015年11月9日13时5分"); // time kept under a date-only format
        EXPECT_EQ(rows(9)(5), "中国通史（第一卷）");    // rich text
        EXPECT_EQ(rows(9)(14), "2015年11月9日13时5分7秒");
    }
}

TEST(Fixtures, BrokenFilesFailWithAReason) {
    for (const char* name : {"empty_file.xls", "not_a_workbook_csv.xls", "truncated_3000.xls",
                             "corrupt_sst_flags_xlwt.xls"}) {
        SCOPED_TRACE(name);
        const auto book = loadWorkbook(fixture(name));
        ASSERT_FALSE(book.ok());
        EXPECT_FALSE(book.error().empty());
        WorkbookConnection connection;
        EXPECT_FALSE(connection.open(connectString(fixture(name))));
        EXPECT_FALSE(connection.isOpen());
    }
    EXPECT_FALSE(loadWorkbook(fixture("no_such_file.xls")).ok());
    EXPECT_FALSE(loadWorkbook(fixture("")).ok()); // a folder
}

TEST(Fixtures, ImportQuerySkipsRowsWithoutBookNumber) {
    WorkbookConnection connection;
    for (const char* name :
         {"books_basic_lo.xls", "books_basic_xlwt.xls", "books_basic_sheetjs.xls"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(connection.open(connectString(fixture(name)))) << connection.lastError();
        EXPECT_EQ(
            columnOfQuery(connection, "select * from [Sheet1$]  where [图书编号] is not NULL",
                          "图书编号"),
            (std::vector<std::string>{"A00001", "A00002", "A00003", "A00004", "A00005", "A00006"}));
    }
    ASSERT_TRUE(connection.open(connectString(fixture("books_reordered_extra_col_lo.xls"))));
    EXPECT_EQ(columnOfQuery(connection, "select * from [Sheet1$]  where [图书编号] is not NULL",
                            "著译者"),
              (std::vector<std::string>{"Tim O'Brien", "读者杂志社", "钱锺书"}));
    ASSERT_TRUE(connection.open(connectString(fixture("books_no_lent_col_xlwt.xls"))));
    EXPECT_EQ(columnOfQuery(connection, "select * from [Sheet1$]  where [图书编号] is not NULL",
                            "是否借出"),
              (std::vector<std::string>{"", ""}));
    ASSERT_TRUE(connection.open(connectString(fixture("books_lowercase_sheet1_xlwt.xls"))));
    EXPECT_EQ(columnOfQuery(connection, "select * from [Sheet1$]  where [图书编号] is not NULL",
                            "图书编号"),
              (std::vector<std::string>{"A00001", "A00002"}));
    ASSERT_TRUE(connection.open(connectString(fixture("books_sheet1_second_lo.xls"))));
    EXPECT_EQ(columnOfQuery(connection, "select * from [Sheet1$]  where [图书编号] is not NULL",
                            "图书编号"),
              (std::vector<std::string>{"A00001", "A00002"}));
    ASSERT_TRUE(connection.open(connectString(fixture("books_header_only_xlwt.xls"))));
    const QueryHandle empty =
        connection.openQuery("select * from [Sheet1$]  where [图书编号] is not NULL");
    ASSERT_TRUE(empty);
    connection.moveFirst(empty);
    EXPECT_TRUE(connection.atEnd(empty));
}

TEST(Fixtures, ReaderQueryFindsCardNumbersAsText) {
    WorkbookConnection connection;
    for (const char* name : {"readers_lo.xls", "readers_xlwt.xls", "readers_sheetjs.xls"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(connection.open(connectString(fixture(name))));
        EXPECT_EQ(columnOfQuery(connection, "select * from [Sheet1$]  where [借书证号] is not NULL",
                                "借书证号"),
                  (std::vector<std::string>{"201409001", "201409002", "201409003", "201409001",
                                            "0201409004", "201409005", "201409006", "1234"}));
    }
    ASSERT_TRUE(connection.open(connectString(fixture("readers_three_cols_xlwt.xls"))));
    EXPECT_EQ(columnOfQuery(connection, "select * from [Sheet1$]  where [借书证号] is not NULL",
                            "书名串"),
              (std::vector<std::string>{"", "", ""}));
    // A query on a column the sheet lacks fails, as the import reports it.
    EXPECT_FALSE(connection.openQuery("select * from [Sheet1$]  where [图书编号] is not NULL"));
}

TEST(Fixtures, PreviewReadsTheFirstWorksheet) {
    const auto book = loadWorkbook(fixture("books_sheet1_second_lo.xls"));
    ASSERT_TRUE(book.ok()) << book.error();
    EXPECT_EQ(readCellText(*book, "a1").value(), "请在Sheet1中填写图书；本表不会被导入");
    EXPECT_EQ(readCellText(*book, "b2").value(), "图书编号");
    EXPECT_EQ(readCellText(*book, "z2").value(), "");
    EXPECT_EQ(readCellText(fixture("books_basic_xlwt.xls"), "O2").value(), "2015年11月9日");
    EXPECT_FALSE(readCellText(fixture("books_basic_xlwt.xls"), "2a").ok());
    EXPECT_FALSE(readCellText(fixture("truncated_3000.xls"), "a1").ok());
    const auto first = readFirstSheet(fixture("books_sheet1_second_lo.xls"));
    ASSERT_TRUE(first.ok());
    EXPECT_EQ(first->name, "说明");
}
