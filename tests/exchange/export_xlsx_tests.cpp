// The .xlsx exports read back cell for cell by an independent reader,
// Python's openpyxl (Debian's python3-openpyxl, run as /usr/bin/python3),
// and a round trip: exported, cleared and imported again, the tables are
// as they were.
#include "exchange_test.h"
#include "library/templates.h"
#include "xls/test_support.h"

#include <cstdlib>
#include <filesystem>

namespace chengxi::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using xls::testing::kPython;
using xls::testing::unescapeDumpCell;

// One line per row, every cell's text escaped; a cell that is not text is
// marked, since every value must be written as a text cell. openpyxl hands
// Excel's _xHHHH_ escapes over as they stand, so they are undone as Excel
// undoes them.
constexpr std::string_view kDumpScript = R"PY(
import re, sys
import openpyxl

def unescape(s):
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), s)

def esc(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")

ws = openpyxl.load_workbook(sys.argv[1], read_only=True).worksheets[0]
with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as out:
    for row in ws.iter_rows(values_only=True):
        out.write("\t".join("" if v is None else esc(unescape(v)) if isinstance(v, str)
                            else "?not text?" for v in row) + "\n")
)PY";

bool openpyxlAvailable() {
    static const bool available =
        std::filesystem::exists(kPython) &&
        std::system((std::string(kPython) + " -c \"import openpyxl\" 2>/dev/null").c_str()) == 0;
    return available;
}

class XlsxExport : public ExchangeTest {
protected:
    void SetUp() override {
        ExchangeTest::SetUp();
        ASSERT_TRUE(
            database().execute("insert into 图书数据 values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                               {"9787538722314", "A00001", "I242.4", "I文学", "1", "红楼梦",
                                "曹雪芹", "人民文学出版社", "320", "32开", "2008-1", "第二版",
                                "15.00元", "文学书架1", "2015年11月16日", "0"}));
        ASSERT_TRUE(
            database().execute("insert into 图书数据 values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                               {"0015", "A00002", "x');drop table 图书数据;--", "", "''",
                                "Tim O'Brien \"选集\"", "a\\b", " 两端空格 ", "第一行\n第二行",
                                "制\t表", "=1+1", "€", "_x0041_ 0.10", "|,|", "1E3", "回车\r"}));
        ASSERT_TRUE(database().execute("insert into 读者数据 values(?,?,?,?,?,?)",
                                       {"1班", "张三", "201409001", "A00001|A00007|",
                                        "2015年11月16日|2015年11月18日|", "红楼梦|水浒传|"}));
        ASSERT_TRUE(database().execute("insert into 读者数据 values(?,?,?,?,?,?)",
                                       {"4班", "O'Brien", "0201409005", "0", "0", "0"}));
        ASSERT_TRUE(database().execute(
            "insert into 借阅报表 values(?,?,?,?,?,?)",
            {"2015", "A00007", "\"水浒传\"", "4班 O'Brien", "2015年11月18日", "2015年11月20日"}));
    }

    Rows readWithOpenpyxl(const std::string& workbook, std::size_t width) {
        const std::string script = inProgramFolder("dump.py");
        const std::string output = inProgramFolder("dump.tsv");
        xls::testing::writeWholeFile(script, kDumpScript);
        const std::string command =
            std::string(kPython) + " \"" + script + "\" \"" + workbook + "\" \"" + output + "\"";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        Rows rows;
        for (const std::vector<std::string>& line : xls::testing::readTsv(output)) {
            std::vector<std::string> row;
            for (const std::string& cell : line) {
                row.push_back(unescapeDumpCell(cell));
            }
            row.resize(std::max(width, row.size()));
            rows.push_back(std::move(row));
        }
        return rows;
    }

    Rows withHeader(library::TemplateKind kind, Rows rows) {
        const auto headers = library::templateHeaders(kind);
        rows.insert(rows.begin(), std::vector<std::string>(headers.begin(), headers.end()));
        return rows;
    }
};

TEST_F(XlsxExport, OpenpyxlReadsEveryKindAsStored) {
    if (!openpyxlAvailable()) {
        GTEST_SKIP() << "python3-openpyxl is not installed";
    }
    clickChoosing(names::kExportBooks, inProgramFolder("图书.xlsx"));
    ASSERT_EQ(screen.messages().back().message.text, "恭喜您，导出成功！");
    EXPECT_EQ(readWithOpenpyxl(inProgramFolder("图书.xlsx"), 16),
              withHeader(library::TemplateKind::Books, rowsOf("select * from 图书数据")));

    clickChoosing(names::kExportReaders, inProgramFolder("读者.Xlsx"));
    ASSERT_EQ(screen.messages().back().message.text, "恭喜您，导出成功！");
    EXPECT_EQ(readWithOpenpyxl(inProgramFolder("读者.Xlsx"), 6),
              withHeader(library::TemplateKind::Readers, rowsOf("select * from 读者数据")));

    main->control(names::kYear).setText("2015");
    clickChoosing(names::kExportReport, inProgramFolder("报表.xlsx"));
    ASSERT_EQ(main->control(names::kReportExportProgress).text(), "导出借阅报表成功！");
    EXPECT_EQ(
        readWithOpenpyxl(inProgramFolder("报表.xlsx"), 5),
        withHeader(library::TemplateKind::LoanReport,
                   rowsOf("select 图书编号, 书名, 借阅者, 借书日期, 还书日期 from 借阅报表")));
}

TEST_F(XlsxExport, ExportedClearedAndImportedTheTablesAreAsBefore) {
    const Rows books = rowsOf("select * from 图书数据");
    const Rows readers = rowsOf("select * from 读者数据");
    clickChoosing(names::kExportBooks, inProgramFolder("图书.xlsx"));
    clickChoosing(names::kExportReaders, inProgramFolder("读者.xlsx"));
    ASSERT_TRUE(database().execute("delete from 图书数据"));
    ASSERT_TRUE(database().execute("delete from 读者数据"));

    importBooks(inProgramFolder("图书.xlsx"));
    clickChoosing(names::kChooseReaderFile, inProgramFolder("读者.xlsx"));
    click(names::kImportReaders);
    EXPECT_EQ(screen.messages().back().message.text, "共导入 2 个读者信息");
    EXPECT_EQ(rowsOf("select * from 图书数据"), books);
    EXPECT_EQ(rowsOf("select * from 读者数据"), readers);
}

} // namespace
} // namespace chengxi::testing
