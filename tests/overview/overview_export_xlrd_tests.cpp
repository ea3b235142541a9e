// The overview's export read back by Python's xlrd (/usr/bin/python3): one
// sheet per list, headers, texts as shown (card numbers stay texts), counts
// as numbers, empty cells empty.
#include "overview/list_export.h"
#include "ui/controls/list_view.h"
#include "xls/test_support.h"
#include "xls/workbook_writer.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace chengxi::overview {
namespace {

constexpr std::string_view kDumpScript = R"PY(
import sys
import xlrd
book = xlrd.open_workbook(sys.argv[1])
with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as out:
    for sh in book.sheets():
        for r in range(sh.nrows):
            cells = []
            for c in range(sh.ncols):
                cell = sh.cell(r, c)
                kind = {xlrd.XL_CELL_TEXT: "t", xlrd.XL_CELL_NUMBER: "n"}.get(cell.ctype, "e")
                value = "" if kind == "e" else ("%g" % cell.value if kind == "n" else cell.value)
                cells.append(kind + ":" + value)
            out.write(sh.name + "\t" + "\t".join(cells) + "\n")
)PY";

ui::ListView listOf(std::initializer_list<std::string_view> captions,
                    std::initializer_list<std::vector<std::string>> rows) {
    ui::ListView list;
    for (const std::string_view caption : captions) {
        list.addColumn({std::string(caption), 80});
    }
    for (const auto& cells : rows) {
        const int row = list.appendRow();
        for (std::size_t c = 0; c < cells.size(); ++c) {
            list.setCell(row, static_cast<int>(c), cells[c]);
        }
    }
    return list;
}

TEST(OverviewExport, XlrdReadsEveryListAsShownWithCountsAsNumbers) {
    if (!xls::testing::xlrdAvailable()) {
        GTEST_SKIP() << "python3-xlrd is not installed";
    }
    const ui::ListView overdue = listOf({"班别", "借书证号", "书名", "逾期天数", "备注"},
                                        {{"1班", "007", "O'Brien｜红楼梦", "31", ""},
                                         {"2班", "201409003", "", "", "借书日期无法识别"}});
    const ui::ListView months = listOf({"月份", "借出"}, {{"1月", "0"}});
    const ListSheet sheets[] = {{"逾期图书", &overdue}, {"每月", &months}};
    const auto bytes = xls::buildWorkbookFile(listWorkbook(sheets));
    ASSERT_TRUE(bytes) << bytes.error();

    const auto folder = std::filesystem::temp_directory_path() / "chengxi-overview-export";
    std::filesystem::create_directories(folder);
    const std::string workbook = (folder / "out.xls").string();
    const std::string script = (folder / "dump.py").string();
    const std::string dump = (folder / "dump.tsv").string();
    xls::testing::writeWholeFile(workbook, *bytes);
    xls::testing::writeWholeFile(script, kDumpScript);
    const std::string command = std::string(xls::testing::kPython) + " \"" + script + "\" \"" +
                                workbook + "\" \"" + dump + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<std::vector<std::string>> expected = {
        {"逾期图书", "t:班别", "t:借书证号", "t:书名", "t:逾期天数", "t:备注"},
        {"逾期图书", "t:1班", "t:007", "t:O'Brien｜红楼梦", "n:31", "e:"},
        {"逾期图书", "t:2班", "t:201409003", "e:", "e:", "t:借书日期无法识别"},
        {"每月", "t:月份", "t:借出"},
        {"每月", "t:1月", "n:0"},
    };
    EXPECT_EQ(xls::testing::readTsv(dump), expected);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace chengxi::overview
