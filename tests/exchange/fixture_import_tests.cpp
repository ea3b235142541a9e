// Every catalogue workbook of the fixtures, imported through the page, gives
// the table its expected text says (written by the fixtures' own model of the
// value-to-text rule, and checked against xlrd): every cell, every writer.
#include "exchange_test.h"
#include "library/templates.h"
#include "xls/test_support.h"

#include <algorithm>

namespace chengxi::testing {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct ExpectedSheet {
    std::vector<std::string> headers;
    Rows rows;

    // The cell under `header`, "" when the sheet has no such column.
    std::string cell(const std::vector<std::string>& row, std::string_view header) const {
        const auto found = std::find(headers.begin(), headers.end(), header);
        const auto column = static_cast<std::size_t>(found - headers.begin());
        return found == headers.end() || column >= row.size() ? "" : row[column];
    }
};

ExpectedSheet expectedSheet(std::string_view workbook) {
    const std::string name(workbook.substr(0, workbook.size() - 4));
    Rows lines =
        xls::testing::readTsv(std::string(CHENGXI_TEST_DATA) + "/xls/expected/" + name + ".tsv");
    EXPECT_FALSE(lines.empty()) << name;
    if (lines.empty()) {
        return {};
    }
    ExpectedSheet sheet{lines.front(), {}};
    sheet.rows.assign(lines.begin() + 1, lines.end());
    return sheet;
}

class BookFixture : public ExchangeTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(BookFixture, EveryRowWithABookNumberIsStoredCellForCell) {
    importBooks(xls::testing::fixture(GetParam()));
    const ExpectedSheet sheet = expectedSheet(GetParam());
    Rows expected;
    for (const auto& row : sheet.rows) {
        if (sheet.cell(row, "图书编号").empty()) {
            continue;
        }
        std::vector<std::string> book;
        for (const std::string_view column :
             library::templateHeaders(library::TemplateKind::Books)) {
            book.push_back(sheet.cell(row, column));
        }
        expected.push_back(std::move(book));
    }
    EXPECT_EQ(rowsOf("select * from 图书数据"), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Writers, BookFixture,
    ::testing::Values("books_basic_lo.xls", "books_basic_xlwt.xls", "books_basic_sheetjs.xls",
                      "books_reordered_extra_col_lo.xls", "books_no_lent_col_xlwt.xls",
                      "books_lowercase_sheet1_xlwt.xls", "books_header_only_xlwt.xls",
                      "books_sst_continue_lo.xls", "books_sst_continue_xlwt.xls",
                      "books_builtin_formats_xlwt.xls", "books_date1904_xlwt.xls",
                      "formulas_lo.xls", "formulas_xlwt.xls"));

} // namespace
} // namespace chengxi::testing
