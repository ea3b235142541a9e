// Workbooks the exports write are read back by an independent reader,
// Python's xlrd (Debian's python3-xlrd, run as /usr/bin/python3): the header,
// then every database row as text cells, values exactly as stored.
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
using xls::testing::xlrdAvailable;

// Row count, then one line per row: each cell's type and text, escaped.
constexpr std::string_view kDumpScript = R"PY(
import sys
import xlrd

def esc(s):
    return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r")

sh = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as out:
    out.write("%d\n" % sh.nrows)
    for r in range(sh.nrows):
        cells = [sh.cell(r, c) for c in range(sh.ncols)]
        out.write("\t".join(esc(("" if c.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK) else
                                 "%s" % c.value if c.ctype == xlrd.XL_CELL_TEXT else "?not text?"))
                            for c in cells) + "\n")
)PY";

class ExportReadByXlrd : public ExchangeTest {
protected:
    void SetUp() override {
        if (!xlrdAvailable()) {
            GTEST_SKIP() << "python3-xlrd is not installed";
        }
        ExchangeTest::SetUp();
    }

    // The rows xlrd reads, each padded to `width` cells; the sheet's row
    // count as xlrd states it in `rowCount`.
    Rows readWithXlrd(const std::string& workbook, std::size_t width, std::size_t& rowCount) {
        const std::string script = inProgramFolder("dump.py");
        const std::string output = inProgramFolder("dump.tsv");
        xls::testing::writeWholeFile(script, kDumpScript);
        const std::string command =
            std::string(kPython) + " \"" + script + "\" \"" + workbook + "\" \"" + output + "\"";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        Rows lines = xls::testing::readTsv(output);
        rowCount = lines.empty() ? 0 : std::stoul(lines.front().front());
        Rows rows;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            std::vector<std::string> row;
            for (const std::string& cell : lines[i]) {
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

TEST_F(ExportReadByXlrd, BooksWithAwkwardTextsAreWrittenAsStored) {
    const std::string longTitle(300, 'x');
    ASSERT_TRUE(database().execute("insert into 图书数据 values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                   {"9787538722314", "A00001", "I242.4", "I文学", "1", "红楼梦",
                                    "曹雪芹", "人民文学出版社", "320", "32开", "2008-1", "第二版",
                                    "15.00元", "文学书架1", "2015年11月16日", "0"}));
    ASSERT_TRUE(database().execute("insert into 图书数据 values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                   {"0015", "A00002", "x');drop table 图书数据;--", "", "''",
                                    "Tim O'Brien \"选集\"", "a\\b", " 两端空格 ", "第一行\n第二行",
                                    "制\t表", "=1+1", "€", longTitle, "|,|", "?", ""}));
    clickChoosing(names::kExportBooks, inProgramFolder("图书.xls"));
    ASSERT_EQ(screen.messages().back().message.text, "恭喜您，导出成功！");

    std::size_t rowCount = 0;
    const Rows read = readWithXlrd(inProgramFolder("图书.xls"), 16, rowCount);
    EXPECT_EQ(rowCount, 3u);
    EXPECT_EQ(main->control(names::kExportProgress).maximum(), 2) << "the count shown";
    EXPECT_EQ(read, withHeader(library::TemplateKind::Books, rowsOf("select * from 图书数据")));
}

TEST_F(ExportReadByXlrd, ReadersAndTheLoanReport) {
    ASSERT_TRUE(database().execute("insert into 读者数据 values(?,?,?,?,?,?)",
                                   {"1班", "张三", "201409001", "A00001|A00007|",
                                    "2015年11月16日|2015年11月18日|", "红楼梦|水浒传|"}));
    ASSERT_TRUE(database().execute("insert into 读者数据 values(?,?,?,?,?,?)",
                                   {"4班", "O'Brien", "0201409005", "0", "0", "0"}));
    ASSERT_TRUE(database().execute("insert into 借阅报表 values(?,?,?,?,?,?)",
                                   {"2015", "A00001", "红楼梦", "1班 张三", "2015年11月16日", ""}));
    ASSERT_TRUE(database().execute(
        "insert into 借阅报表 values(?,?,?,?,?,?)",
        {"2015", "A00007", "\"水浒传\"", "4班 O'Brien", "2015年11月18日", "2015年11月20日"}));
    ASSERT_TRUE(database().execute("insert into 借阅报表 values(?,?,?,?,?,?)",
                                   {"2016", "A00002", "西游记", "1班 张三", "2016年1月4日", ""}));

    clickChoosing(names::kExportReaders, inProgramFolder("读者.xls"));
    ASSERT_EQ(screen.messages().back().message.text, "恭喜您，导出成功！");
    std::size_t rowCount = 0;
    EXPECT_EQ(readWithXlrd(inProgramFolder("读者.xls"), 6, rowCount),
              withHeader(library::TemplateKind::Readers, rowsOf("select * from 读者数据")));

    main->control(names::kYear).setText("2015");
    clickChoosing(names::kExportReport, inProgramFolder("报表.xls"));
    ASSERT_EQ(main->control(names::kReportExportProgress).text(), "导出借阅报表成功！");
    EXPECT_EQ(readWithXlrd(inProgramFolder("报表.xls"), 5, rowCount),
              withHeader(library::TemplateKind::LoanReport,
                         rowsOf("select 图书编号, 书名, 借阅者, 借书日期, 还书日期 from 借阅报表 "
                                "where 年份 = '2015'")));
}

// The export that stops at the sheet's last row leaves a file xlrd reads whole.
TEST_F(ExportReadByXlrd, AnExportStoppedAtTheLastRowLeavesAReadableFile) {
    ASSERT_TRUE(database().execute(
        "insert into 图书数据 (图书编号) with recursive n(i) as (select 1 union all select i + 1 "
        "from n where i < 65536) select 'B' || i from n"));
    clickChoosing(names::kExportBooks, inProgramFolder("图书.xls"));
    // The failure, then why: the sheet is full.
    ASSERT_GE(screen.messages().size(), 2u);
    ASSERT_EQ(screen.messages().end()[-2].message.text, "导出数据失败！");
    std::size_t rowCount = 0;
    const Rows read = readWithXlrd(inProgramFolder("图书.xls"), 16, rowCount);
    EXPECT_EQ(rowCount, 65536u);
    ASSERT_EQ(read.size(), 65536u);
    EXPECT_EQ(read.back()[1], "B65535");
}

} // namespace
} // namespace chengxi::testing
