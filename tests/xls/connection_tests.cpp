// The connect string, the statements, and the connection the imports and
// exports use.
#include "library/templates.h"
#include "test_support.h"
#include "xls/connect_string.h"
#include "xls/sheet_statement.h"
#include "xls/sheet_text.h"
#include "xls/workbook_connection.h"
#include "xls/workbook_file.h"
#include "xls/workbook_writer.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

using namespace chengxi::xls;
using namespace chengxi::xls::testing;

namespace {

using chengxi::library::templateHeaders;
using chengxi::library::TemplateKind;
using chengxi::library::templateWorkbook;
using chengxi::library::writeTemplate;

constexpr std::array<std::string_view, 6> kReaderColumns = {"班别",       "姓名",       "借书证号",
                                                            "图书编号串", "日期编号串", "书名串"};

std::string readerInsert(const std::vector<std::string>& values) {
    return insertStatement(kReaderColumns, values);
}

std::vector<std::vector<std::string>> queryAll(WorkbookConnection& connection, std::string_view sql,
                                               std::span<const std::string_view> columns) {
    std::vector<std::vector<std::string>> rows;
    const QueryHandle query = connection.openQuery(sql);
    EXPECT_TRUE(query) << connection.lastError();
    for (connection.moveFirst(query); !connection.atEnd(query); connection.moveNext(query)) {
        std::vector<std::string> row;
        for (const std::string_view column : columns) {
            row.push_back(connection.read(query, column));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace

TEST(ConnectString, BuiltExactlyFromThePath) {
    EXPECT_EQ(
        connectString("D:\\data\\readers.xls"),
        "ODBC;DBQ=D:\\data\\readers.xls;DefaultDir=D:\\data\\;Driver={Microsoft Excel Driver "
        "(*.xls)};"
        "DriverId=790;FIL=excel 8.0;MaxBufferSize=2048;MaxScanRows=8;PageTimeout=5;ReadOnly=0;"
        "SafeTransactions=0;Threads=3;UID=admin;UserCommitSync=Yes;");
}

TEST(ConnectString, FolderIsFoundOverDoubleByteCharacters) {
    // 誠 is 0xD5 0x5C in code page 936: its second byte is the code of "\".
    EXPECT_EQ(connectFolder("D:\\图书誠\\readers.xls"), "D:\\图书誠\\");
    EXPECT_EQ(connectFolder("D:\\数据誠"), "D:\\");
    EXPECT_EQ(connectFolder("誠誠.xls"), "");
    EXPECT_EQ(connectFolder("readers.xls"), "");
    EXPECT_EQ(connectFolder("/home/librarian/readers.xls"), "");
    EXPECT_EQ(connectFolder("C:\\"), "C:\\");
    // A character code page 936 lacks still leaves the folder whole.
    EXPECT_EQ(connectFolder("D:\\书😀\\a.xls"), "D:\\书😀\\");
}

TEST(ConnectString, PathComesBackFromTheString) {
    for (const char* path :
         {"D:\\data\\readers.xls", "/tmp/读者.xls", "D:\\a;b\\c.xls", "x;DefaultDir=y.xls",
          "D:\\图书誠\\readers.xls", "C:\\folder;DefaultDir=C:\\folder\\x.xls"}) {
        EXPECT_EQ(workbookPathOf(connectString(path)), path);
    }
    EXPECT_EQ(workbookPathOf("Driver={x};DBQ=C:\\b.xls;ReadOnly=0"), "C:\\b.xls");
    EXPECT_FALSE(workbookPathOf("Driver={x};ReadOnly=0"));
    EXPECT_FALSE(workbookPathOf("ODBC;DBQ=;DefaultDir=x"));
}

TEST(Statements, TheSheetQueriesTheCallersUse) {
    auto plain = parseSelect("select * from [Sheet1$]");
    ASSERT_TRUE(plain.ok());
    EXPECT_EQ(plain->sheet, "Sheet1");
    EXPECT_FALSE(plain->notNullColumn);
    auto filtered = parseSelect("select * from [Sheet1$]  where [图书编号] is not NULL");
    ASSERT_TRUE(filtered.ok());
    EXPECT_EQ(filtered->notNullColumn, "图书编号");
    EXPECT_TRUE(parseSelect("SELECT *\nFROM [sheet1$] WHERE [借书证号] IS NOT null;").ok());
    for (const char* sql :
         {"select 书名 from [Sheet1$]", "select * from Sheet1", "select * from [Sheet1]",
          "select * from [Sheet1$] where [a] = '1'", "select * from [Sheet1$] order by [a]",
          "delete from [Sheet1$]", "select * from [Sheet1$", "select * from [Sheet1$] where [a]",
          "select * from [Sheet1$]; drop table x", ""}) {
        EXPECT_FALSE(parseSelect(sql).ok()) << sql;
    }
}

TEST(Statements, InsertValuesAreUnescaped) {
    auto insert = parseInsert(
        "insert into [Sheet1$] ([姓名],[书名串]) values ('O''Brien','读者,意林|合订本')");
    ASSERT_TRUE(insert.ok()) << insert.error();
    EXPECT_EQ(insert->columns, (std::vector<std::string>{"姓名", "书名串"}));
    EXPECT_EQ(insert->values, (std::vector<std::string>{"O'Brien", "读者,意林|合订本"}));
    auto tricky = parseInsert("INSERT INTO [Sheet1$]([a]) VALUES('''),(''[b]''')");
    ASSERT_TRUE(tricky.ok());
    EXPECT_EQ(tricky->values[0], "'),('[b]'");
    for (const char* sql :
         {"insert into [Sheet1$] ([a],[b]) values ('1')", "insert into [Sheet1$] values ('1')",
          "insert into [Sheet1$] ([a]) values ('O'Brien')",
          "insert into [Sheet1$] ([a]) values (1)", "insert into [Sheet1$] ([a]) values ('1'",
          "update [Sheet1$] set [a]='1'"}) {
        EXPECT_FALSE(parseInsert(sql).ok()) << sql;
    }
}

TEST(Statements, InsertStatementEscapesEveryValue) {
    const std::vector<std::string> values = {"1班", "张三", "201409001", "0", "0", "0"};
    EXPECT_EQ(readerInsert(values),
              "insert into [Sheet1$] ([班别],[姓名],[借书证号],[图书编号串],[日期编号串],[书名串]) "
              "values "
              "('1班','张三','201409001','0','0','0')");
    const std::vector<std::string> hostile = {"' or '1'='1", "O'Brien", "", "''", "a,b", "|"};
    auto parsed = parseInsert(readerInsert(hostile));
    ASSERT_TRUE(parsed.ok()) << parsed.error();
    EXPECT_EQ(parsed->values, hostile);
}

TEST(Connection, ExportShapedRoundTrip) {
    TempDir dir;
    const std::string path = dir.file("读者.xls");
    ASSERT_TRUE(writeTemplate(TemplateKind::Readers, path));
    const std::vector<std::vector<std::string>> rows = {
        {"1班", "张三", "201409001", "A00001|A00007|", "2015年11月16日|2015年11月18日|",
         "红楼梦|水浒传|"},
        {"4班", "O'Brien", "201409005", "0", "0", "0"},
        {"4班", "吴九", "201409006", "A00003|", "2015年11月9日|", "红楼梦,续|"},
        {"5班", "", "201409007", "", "", ""},
    };
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(connectString(path))) << connection.lastError();
    for (const auto& row : rows) {
        ASSERT_TRUE(connection.execute(readerInsert(row))) << connection.lastError();
    }
    // The connection sees its own rows before they reach the file.
    EXPECT_EQ(queryAll(connection, "select * from [Sheet1$]", kReaderColumns), rows);
    ASSERT_TRUE(connection.close());

    ASSERT_TRUE(connection.open(connectString(path)));
    EXPECT_EQ(queryAll(connection, "select * from [Sheet1$]  where [借书证号] is not NULL",
                       kReaderColumns),
              rows);
    const auto filtered =
        queryAll(connection, "select * from [Sheet1$]  where [姓名] is not NULL", kReaderColumns);
    EXPECT_EQ(filtered.size(), 3u);
}

TEST(Connection, BookTemplateRowTwoIsFilledByTheFirstInsert) {
    TempDir dir;
    const std::string path = dir.file("books.xls");
    ASSERT_TRUE(writeTemplate(TemplateKind::Books, path));
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(connectString(path)));
    const auto headers = templateHeaders(TemplateKind::Books);
    std::vector<std::string> values(headers.size());
    values[1] = "A00001";
    values[5] = "红楼梦";
    ASSERT_TRUE(connection.execute(insertStatement(headers, values)));
    values[1] = "A00002";
    ASSERT_TRUE(connection.execute(insertStatement(headers, values)));
    ASSERT_TRUE(connection.close());
    const auto sheet = readFirstSheet(path);
    ASSERT_TRUE(sheet.ok());
    ASSERT_EQ(sheet->rows.size(), 3u);
    EXPECT_EQ(sheet->at(1, 1), "A00001");
    EXPECT_EQ(sheet->at(2, 1), "A00002");
    // Unused blank cells of row 2 keep their place and format.
    const auto book = loadWorkbook(path);
    ASSERT_TRUE(book.ok());
    EXPECT_EQ(book->sheets[0].cellAt(1, 0)->kind, CellKind::Blank);
    EXPECT_EQ(book->sheets[0].cellAt(1, 1)->kind, CellKind::Text);
}

TEST(Connection, FailingInsertKeepsEarlierRowsAndAddsNothing) {
    TempDir dir;
    const std::string path = dir.file("report.xls");
    ASSERT_TRUE(writeTemplate(TemplateKind::LoanReport, path));
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(connectString(path)));
    ASSERT_TRUE(connection.execute(
        "insert into [Sheet1$] ([图书编号],[书名],[借阅者],[借书日期],[还书日期]) values "
        "('A00001','红楼梦','1班-张三','2015年11月16日','')"));
    EXPECT_FALSE(
        connection.execute("insert into [Sheet1$] ([图书编号],[备注]) values ('A00002','x')"));
    EXPECT_NE(connection.lastError().find("备注"), std::string::npos);
    EXPECT_FALSE(
        connection.execute("insert into [Sheet1$] ([图书编号],[图书编号]) values ('A','B')"));
    EXPECT_FALSE(connection.execute("insert into [Sheet2$] ([图书编号]) values ('A00003')"));
    EXPECT_FALSE(connection.execute("insert into [Sheet1$] ([书名]) values ('O'Brien')"));
    EXPECT_FALSE(connection.execute("insert into [Sheet1$] ([书名]) values ('\xFF\xFE')"));
    EXPECT_FALSE(connection.execute("insert into [Sheet1$] ([书名]) values ('" +
                                    std::string(kMaxCellCharacters + 1, 'a') + "')"));
    EXPECT_FALSE(connection.execute("delete from [Sheet1$]"));
    ASSERT_TRUE(connection.close());
    const auto sheet = readFirstSheet(path);
    ASSERT_TRUE(sheet.ok());
    ASSERT_EQ(sheet->rows.size(), 2u);
    EXPECT_EQ(sheet->at(1, 0), "A00001");
    EXPECT_EQ(sheet->at(1, 4), "");
}

TEST(Connection, InsertBeyondTheLastRowFails) {
    TempDir dir;
    const std::string path = dir.file("full.xls");
    Workbook book = templateWorkbook(TemplateKind::LoanReport);
    std::vector<Cell> cells(book.sheets[0].cells().begin(), book.sheets[0].cells().end());
    cells.push_back(Cell::ofText(65534, 0, kDefaultCellStyle, book.strings.intern("倒数第二行")));
    book.sheets[0].assignCells(std::move(cells));
    ASSERT_TRUE(saveWorkbook(path, book));
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(connectString(path)));
    const std::string insert = "insert into [Sheet1$] ([图书编号]) values ('最后一行')";
    EXPECT_TRUE(connection.execute(insert));
    EXPECT_FALSE(connection.execute(insert));
    EXPECT_FALSE(connection.lastError().empty());
    ASSERT_TRUE(connection.close());
    const auto sheet = readFirstSheet(path);
    ASSERT_TRUE(sheet.ok());
    ASSERT_EQ(sheet->rows.size(), 65536u);
    EXPECT_EQ(sheet->at(65535, 0), "最后一行");
}

TEST(Connection, FailedOpenKeepsThePreviousWorkbook) {
    TempDir dir;
    const std::string first = dir.file("first.xls");
    ASSERT_TRUE(writeTemplate(TemplateKind::Readers, first));
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(connectString(first)));
    ASSERT_TRUE(connection.execute(readerInsert({"1班", "张三", "1", "0", "0", "0"})));
    EXPECT_FALSE(connection.open(connectString(fixture("truncated_3000.xls"))));
    EXPECT_FALSE(connection.lastError().empty());
    EXPECT_FALSE(connection.open("Driver={x}"));
    ASSERT_TRUE(connection.isOpen());
    EXPECT_EQ(connection.workbookPath(), first);
    // Opening another workbook closes this one, writing its rows.
    ASSERT_TRUE(connection.open(connectString(fixture("readers_lo.xls"))));
    EXPECT_EQ(readFirstSheet(first)->rows.size(), 2u);
}

TEST(Connection, QueriesFailCleanlyAndHandlesDieWithTheirQueries) {
    WorkbookConnection connection;
    EXPECT_FALSE(connection.openQuery("select * from [Sheet1$]"));
    EXPECT_FALSE(connection.execute("insert into [Sheet1$] ([a]) values ('1')"));
    ASSERT_TRUE(connection.open(connectString(fixture("books_sheet1_second_lo.xls"))));
    EXPECT_FALSE(connection.openQuery("select * from [Sheet2$]"));
    EXPECT_FALSE(connection.openQuery("select * from [Sheet1$] where [条形码2] is not NULL"));
    EXPECT_FALSE(connection.openQuery("select 书名 from [Sheet1$]"));
    const QueryHandle query = connection.openQuery("select * from [SHEET1$]");
    ASSERT_TRUE(query);
    connection.moveFirst(query);
    EXPECT_EQ(connection.read(query, "图书编号"), "A00001");
    EXPECT_EQ(connection.read(query, "图书"), "");   // names match exactly
    EXPECT_EQ(connection.read(query, "分类号"), ""); // no cell
    EXPECT_EQ(connection.read(query, "单价"), "15");
    EXPECT_EQ(connection.read(query, "图书编号"), "A00001");
    connection.closeQueries();
    EXPECT_TRUE(connection.atEnd(query));
    EXPECT_EQ(connection.read(query, "图书编号"), "");
    connection.moveNext(query); // harmless on a closed query
}

TEST(Connection, TheFirstOfTwoEqualColumnNamesAnswers) {
    TempDir dir;
    const std::string path = dir.file("twice.xls");
    Workbook book = templateWorkbook(TemplateKind::LoanReport);
    const auto text = [&](const char* value) { return book.strings.intern(value); };
    book.sheets[0].assignCells(
        {Cell::ofText(0, 0, 15, text("书名")), Cell::ofText(0, 1, 15, text("图书编号")),
         Cell::ofText(0, 2, 15, text("书名")), Cell::ofText(1, 0, 15, text("红楼梦")),
         Cell::ofText(1, 1, 15, text("A1")), Cell::ofText(1, 2, 15, text("别的")),
         Cell::ofText(2, 0, 15, text("水浒传")), Cell::ofText(2, 1, 15, text("A2"))});
    ASSERT_TRUE(saveWorkbook(path, book));
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(connectString(path)));
    const std::array<std::string_view, 2> columns = {"书名", "图书编号"};
    EXPECT_EQ(queryAll(connection, "select * from [Sheet1$]", columns),
              (std::vector<std::vector<std::string>>{{"红楼梦", "A1"}, {"水浒传", "A2"}}));
    ASSERT_TRUE(connection.execute("insert into [Sheet1$] ([书名]) values ('三国演义')"));
    EXPECT_EQ(connection.read(connection.openQuery("select * from [Sheet1$]"), "书名"), "红楼梦");
    ASSERT_TRUE(connection.close());
    EXPECT_EQ(readFirstSheet(path)->at(3, 0), "三国演义");
}

TEST(Connection, SheetRowNamesTheRowTheQueryStandsOn) {
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(connectString(fixture("books_basic_lo.xls"))));
    const QueryHandle query =
        connection.openQuery("select * from [Sheet1$]  where [图书编号] is not NULL");
    ASSERT_TRUE(query);
    // Sheet rows 2, 3, 5, 7, 9 and 10 carry a book number (0-based 1, 2, 4, ...).
    std::vector<std::uint32_t> rows;
    for (connection.moveFirst(query); !connection.atEnd(query); connection.moveNext(query)) {
        rows.push_back(connection.sheetRow(query));
    }
    EXPECT_EQ(rows, (std::vector<std::uint32_t>{1, 2, 4, 6, 8, 9}));
    EXPECT_EQ(connection.sheetRow(query), 0u);
    EXPECT_EQ(connection.sheetRow(QueryHandle{}), 0u);
}

namespace {

// Every row a query visits: its sheet row, then each column's text.
std::vector<std::vector<std::string>> visitAll(WorkbookConnection& connection, std::string_view sql,
                                               std::span<const std::string_view> columns) {
    std::vector<std::vector<std::string>> rows;
    const QueryHandle query = connection.openQuery(sql);
    EXPECT_TRUE(query) << connection.lastError();
    connection.moveFirst(query); // as the imports do
    const Status read = connection.forEachRow(query, [&] {
        std::vector<std::string> row{std::to_string(connection.sheetRow(query))};
        for (const std::string_view column : columns) {
            row.push_back(connection.read(query, column));
        }
        rows.push_back(std::move(row));
        return true;
    });
    EXPECT_TRUE(read) << read.error();
    return rows;
}

} // namespace

// The .xlsx LibreOffice made of an .xls answers every query as that .xls:
// the same rows, at the same sheet rows, with the same texts.
TEST(Connection, AnXlsxAnswersAsTheXlsItWasMadeFrom) {
    for (const auto& [name, kind] : {std::pair{"books_basic_lo", TemplateKind::Books},
                                     std::pair{"readers_lo", TemplateKind::Readers}}) {
        const auto columns = templateHeaders(kind);
        const std::string xlsx =
            std::string(CHENGXI_TEST_DATA) + "/xlsx/" + std::string(name) + ".xlsx";
        for (const std::string_view sql :
             {"select * from [SHEET1$]", "select * from [Sheet1$]  where [图书编号] is not NULL",
              "select * from [Sheet1$]  where [借书证号] is not NULL"}) {
            WorkbookConnection fromXls;
            WorkbookConnection fromXlsx;
            ASSERT_TRUE(fromXls.open(connectString(fixture(std::string(name) + ".xls"))));
            ASSERT_TRUE(fromXlsx.open(connectString(xlsx))) << fromXlsx.lastError();
            EXPECT_EQ(fromXlsx.format(), WorkbookFormat::Xlsx);
            const QueryHandle probe = fromXls.openQuery(sql);
            if (!probe) {
                EXPECT_FALSE(fromXlsx.openQuery(sql)) << name << ": " << sql;
                EXPECT_FALSE(fromXlsx.fileUnreadable());
                continue;
            }
            auto expected = visitAll(fromXls, sql, columns);
            // A query without a filter also lists the rows without a value,
            // which an .xlsx does not hold.
            std::erase_if(expected, [](const std::vector<std::string>& row) {
                return std::all_of(row.begin() + 1, row.end(),
                                   [](const std::string& cell) { return cell.empty(); });
            });
            EXPECT_GE(expected.size(), 2u);
            EXPECT_EQ(visitAll(fromXlsx, sql, columns), expected) << name << ": " << sql;
        }
    }
}

// A visitor that stops is not called again, and a damaged sheet says so.
TEST(Connection, AnXlsxQueryStopsWhenToldAndFailsOnDamage) {
    WorkbookConnection connection;
    ASSERT_TRUE(connection.open(
        connectString(std::string(CHENGXI_TEST_DATA) + "/xlsx/damaged_crc_lo.xlsx")));
    const QueryHandle query = connection.openQuery("select * from [Sheet1$]");
    ASSERT_TRUE(query);
    int visits = 0;
    EXPECT_TRUE(connection.forEachRow(query, [&] { return ++visits < 2; }));
    EXPECT_EQ(visits, 2);
    const Status read = connection.forEachRow(query, [&] { return ++visits > 0; });
    EXPECT_FALSE(read);
    EXPECT_TRUE(connection.fileUnreadable());
    EXPECT_NE(read.error().find("CRC"), std::string::npos) << read.error();
}

// An import walks an .xls without keeping its cells; the rows it is handed
// must be the rows a whole reading lists, blank rows, formulas and all.
TEST(Connection, AnXlsWalkedRowByRowAnswersAsItsListedRows) {
    const auto books = templateHeaders(TemplateKind::Books);
    const auto readers = templateHeaders(TemplateKind::Readers);
    for (const auto& [name, columns, key] :
         {std::tuple{"books_basic_lo.xls", books, "图书编号"},
          std::tuple{"books_basic_xlwt.xls", books, "图书编号"},
          std::tuple{"books_reordered_extra_col_lo.xls", books, "图书编号"},
          std::tuple{"books_sst_continue_lo.xls", books, "图书编号"},
          std::tuple{"formulas_lo.xls", books, "图书编号"},
          std::tuple{"readers_empty_text_cell_lo.xls", readers, "借书证号"},
          std::tuple{"readers_sheetjs.xls", readers, "借书证号"}}) {
        for (const std::string& sql :
             {std::string("select * from [Sheet1$]"),
              "select * from [Sheet1$]  where [" + std::string(key) + "] is not NULL"}) {
            SCOPED_TRACE(std::string(name) + ": " + sql);
            WorkbookConnection walked;
            WorkbookConnection listed;
            ASSERT_TRUE(walked.open(connectString(fixture(name))));
            ASSERT_TRUE(listed.open(connectString(fixture(name))));
            std::vector<std::vector<std::string>> rows;
            const QueryHandle query = listed.openQuery(sql);
            ASSERT_TRUE(query);
            for (listed.moveFirst(query); !listed.atEnd(query); listed.moveNext(query)) {
                std::vector<std::string> row{std::to_string(listed.sheetRow(query))};
                for (const std::string_view column : columns) {
                    row.push_back(listed.read(query, column));
                }
                rows.push_back(std::move(row));
            }
            EXPECT_EQ(visitAll(walked, sql, columns), rows);
        }
    }
}

// The connection opens a large workbook by its allocation table and
// directory alone and reads the stream through its sectors: every fixture
// must read, cell for cell, as the whole file parsed in memory.
TEST(Connection, AnXlsOpenedInPartReadsAsTheWholeFile) {
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(
             pathFromUtf8(std::string(CHENGXI_TEST_DATA) + "/xls"))) {
        if (entry.path().extension() != ".xls") {
            continue;
        }
        const std::string path = pathToUtf8(entry.path());
        SCOPED_TRACE(path);
        const std::string bytes = readWholeFile(path);
        const auto whole = parseWorkbookFile(asBytes(bytes));
        WorkbookConnection connection;
        ASSERT_EQ(connection.open(connectString(path)), whole.ok()) << connection.lastError();
        if (!whole) {
            continue;
        }
        const Workbook* opened = connection.workbook();
        ASSERT_NE(opened, nullptr);
        ASSERT_EQ(opened->sheets.size(), whole->sheets.size());
        for (std::size_t i = 0; i < whole->sheets.size(); ++i) {
            EXPECT_EQ(sheetText(*opened, opened->sheets[i]).rows,
                      sheetText(*whole, whole->sheets[i]).rows);
        }
        ++compared;
    }
    EXPECT_GT(compared, 10);
}

// An export hands the connection typed rows and the file is written from
// the stream as it stands, its cells let go first: byte for byte the file
// the same rows give as insert statements through a whole-file write, up
// to the sheet's last row.
TEST(Connection, TypedRowsWriteTheBytesOfTheirStatements) {
    const TempDir folder;
    const auto columns = templateHeaders(TemplateKind::Readers);
    const std::string typedPath = folder.file("typed.xls");
    Workbook stated = templateWorkbook(TemplateKind::Readers);
    {
        WorkbookConnection typed;
        typed.create(typedPath, templateWorkbook(TemplateKind::Readers));
        WorkbookConnection statements;
        statements.create(folder.file("unused.xls"), templateWorkbook(TemplateKind::Readers));
        std::vector<std::string> values(columns.size());
        std::vector<std::string_view> views(columns.size());
        for (std::uint32_t row = 1; row <= kLastRowIndex; ++row) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                values[c] = row % 7 == c ? "" : "O'" + std::to_string(row * 8 + c);
                views[c] = values[c];
            }
            ASSERT_TRUE(typed.appendRow("Sheet1", columns, views)) << typed.lastError();
            ASSERT_TRUE(statements.execute(insertStatement(columns, values)));
        }
        EXPECT_FALSE(typed.appendRow("Sheet1", columns, views));
        stated = *statements.workbook();
        ASSERT_TRUE(typed.close()) << typed.lastError();
    }
    EXPECT_EQ(readWholeFile(typedPath), buildWorkbookFile(stated).value());
}
