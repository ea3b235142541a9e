// The preview's reading: the first rows of the first worksheet, the rest of
// the workbook left unparsed, the cells as a whole read gives them.
#include "library/templates.h"
#include "test_support.h"
#include "xls/cell_text.h"
#include "xls/compound_file.h"
#include "xls/workbook_reader.h"
#include "xls/workbook_writer.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace chengxi::xls;
using namespace chengxi::xls::testing;

namespace {

using chengxi::library::TemplateKind;
using chengxi::library::templateWorkbook;

constexpr std::uint32_t kRows = 2;

// Cells A to Z of the first rows, as the preview shows them.
std::vector<std::string> firstCells(const Workbook& book) {
    std::vector<std::string> texts;
    for (std::uint32_t row = 0; row < kRows; ++row) {
        for (std::uint32_t column = 0; column < 26; ++column) {
            const Cell* cell = book.sheets.front().cellAt(row, column);
            texts.push_back(cell == nullptr ? "" : cellText(book, *cell));
        }
    }
    return texts;
}

// The book template with `rows` rows of a text and a number per column.
std::string largeCatalogue(std::uint16_t rows) {
    Workbook book = templateWorkbook(TemplateKind::Books);
    std::vector<Cell> cells(book.sheets[0].cells().begin(), book.sheets[0].cells().end());
    for (std::uint16_t row = 1; row <= rows; ++row) {
        for (std::uint16_t column = 0; column < 16; column += 2) {
            cells.push_back(
                Cell::ofText(row, column, kDefaultCellStyle,
                             book.strings.add("书" + std::to_string(row * 16 + column))));
            cells.push_back(Cell::ofNumber(row, static_cast<std::uint16_t>(column + 1),
                                           kDefaultCellStyle, row + 0.5));
        }
    }
    book.sheets[0].assignCells(std::move(cells));
    return buildWorkbookFile(book).value();
}

} // namespace

TEST(FirstRows, ALargeCatalogueIsReadOnlyAsFarAsItsFirstRows) {
    const std::string file = largeCatalogue(20000);
    const std::string stream = extractWorkbookStream(asBytes(file)).value();
    const auto whole = parseWorkbookStream(asBytes(stream));
    const auto first = parseFirstRows(asBytes(stream), kRows);
    ASSERT_TRUE(whole.ok() && first.ok());
    EXPECT_EQ(firstCells(whole.value()), firstCells(first->book));
    EXPECT_EQ(first->book.sheets.front().rowCount(), kRows);
    // 320,000 cell records and as many strings stand in the file: what is
    // read is the globals, the rows' own records and their few strings.
    EXPECT_LT(first->recordsParsed, 400u);
    EXPECT_LE(first->book.strings.size(), 16u + 8u);
    // The stream this writer lays out in one piece is read where it stands,
    // byte for byte what a copy of it holds.
    const auto compound = CompoundFile::parse(asBytes(file));
    ASSERT_TRUE(compound.ok());
    const auto inPlace = compound->streamInPlace("Workbook");
    ASSERT_TRUE(inPlace.has_value());
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(inPlace->data()), inPlace->size()),
              stream);
}

TEST(FirstRows, WorkbooksOfOtherWritersPreviewAsTheyReadWhole) {
    for (const char* name :
         {"books_basic_lo.xls", "books_basic_sheetjs.xls", "books_basic_xlwt.xls",
          "books_builtin_formats_xlwt.xls", "books_date1904_xlwt.xls",
          "books_reordered_extra_col_lo.xls", "books_sheet1_second_lo.xls",
          "books_sst_continue_lo.xls", "books_sst_continue_xlwt.xls", "formulas_lo.xls",
          "formulas_xlwt.xls", "readers_sheetjs.xls", "books_header_only_xlwt.xls"}) {
        SCOPED_TRACE(name);
        const std::string stream =
            extractWorkbookStream(asBytes(readWholeFile(fixture(name)))).value();
        const auto whole = parseWorkbookStream(asBytes(stream));
        const auto first = parseFirstRows(asBytes(stream), kRows);
        ASSERT_TRUE(whole.ok()) << whole.error();
        ASSERT_TRUE(first.ok()) << first.error();
        EXPECT_EQ(firstCells(whole.value()), firstCells(first->book));
    }
}
