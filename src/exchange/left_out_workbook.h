#pragma once

#include "xls/result.h"
#include "xls/workbook.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::exchange {

inline constexpr std::string_view kLeftOutFileName = "导入未成功的行.xls";

// A sheet row an import left out because the database cannot store one of
// its characters.
struct LeftOutRow {
    std::uint32_t sheetRow = 0;         // 0-based, row 0 holding the column names
    std::string_view column;            // where the character stands
    std::string_view character;         // the first such character, as UTF-8
    std::span<const std::string> cells; // as read, one per column the import reads
};

// Row 1 of the left-out rows' workbook: 行号, 列名, 字符, then `columns`
// (the import's, in the order it reads them). A sheet laid out so that,
// once the characters are mended, the import reads it again.
xls::Workbook leftOutWorkbook(std::span<const std::string_view> columns);

// Appends a row below the last: its row number as the spreadsheet counts
// it, its column, its character, its cells.
void appendLeftOutRow(xls::Workbook& book, const LeftOutRow& row);

// Writes the workbook as 导入未成功的行.xls beside the imported file,
// replacing an older one, or into `dataFolder` when it cannot be written
// there; it never takes the place of the imported file itself. The path
// written, or why it could be written nowhere.
xls::Result<std::string> saveLeftOutWorkbook(const xls::Workbook& workbook,
                                             std::string_view importedPath,
                                             std::string_view dataFolder);

} // namespace chengxi::exchange
