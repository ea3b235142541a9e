#pragma once

#include "xls/workbook.h"

#include <cstdint>
#include <span>
#include <string_view>

// How the workbooks an export starts from are laid out, and workbooks of the
// same make.
namespace chengxi::xls {

// What a template is made of: one sheet with a header row.
struct TemplateLayout {
    std::string_view sheetName;
    std::span<const std::string_view> headers;
    std::uint16_t fontHeight;              // 1/20 point; the font is 宋体
    std::span<const std::uint16_t> widths; // 1/256 character; empty: the default 8 characters
    bool blankSecondRow;
};

// The template as a workbook: its one sheet, the header row in 宋体 of the
// layout's size, the column widths, and if asked a second row of blank cells
// in the header's format.
Workbook layoutWorkbook(const TemplateLayout& layout);

// A workbook of the program's own making laid out as the reader template:
// one sheet `Sheet1` whose row 1 holds `headers` in 宋体 12 pt, default
// column widths. The caller adds the rows.
Workbook headedWorkbook(std::span<const std::string_view> headers);

} // namespace chengxi::xls
