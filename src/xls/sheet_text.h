#pragma once

#include "xls/result.h"
#include "xls/workbook.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A worksheet as rows of texts, for the support tool, the scenario checks
// and the book-file preview.
namespace chengxi::xls {

struct SheetText {
    std::string name;
    // Row 1 (the header row) first, cells as text by the value-to-text rule.
    // The rows run to the last row that holds a value, so trailing rows of
    // formatted blank cells do not count; each row runs to its own last
    // value, so a stray far cell costs one row, not a whole grid.
    std::vector<std::vector<std::string>> rows;
    // 1 + the last column holding a value in any row.
    std::size_t width = 0;

    // The text at (row, column), 0-based; empty outside the cells.
    const std::string& at(std::size_t row, std::size_t column) const;
};

SheetText sheetText(const Workbook& workbook, const Sheet& sheet);

// The first worksheet of the workbook at `path`.
Result<SheetText> readFirstSheet(std::string_view path);

// The worksheet named `name` (letter case aside), as the import sees it.
Result<SheetText> readSheet(std::string_view path, std::string_view name);

struct CellPosition {
    std::uint32_t row = 0; // 0-based
    std::uint32_t column = 0;
};

// "a1", "Z2", "iv65536": column letters A to IV, then the 1-based row.
std::optional<CellPosition> parseCellReference(std::string_view reference);

// The text of one cell of the first worksheet, for the preview of a chosen
// book file; the empty text for an empty cell. The preview reads 52 cells:
// load the workbook once (loadWorkbook) and use the second form.
Result<std::string> readCellText(std::string_view path, std::string_view reference);
Result<std::string> readCellText(const Workbook& workbook, std::string_view reference);

} // namespace chengxi::xls
