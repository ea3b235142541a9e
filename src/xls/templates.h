#pragma once

#include "xls/result.h"
#include "xls/workbook.h"

#include <cstdint>
#include <span>
#include <string_view>

// The three workbooks an export starts from, and sheets of the same make.
namespace chengxi::xls {

enum class TemplateKind { Books, Readers, LoanReport };

// The header texts of row 1, which are also the table's column names.
std::span<const std::string_view> templateHeaders(TemplateKind kind);

// What a template is made of, for writers of other formats.
struct TemplateLayout {
    std::string_view sheetName;
    std::span<const std::string_view> headers;
    std::uint16_t fontHeight;              // 1/20 point; the font is 宋体
    std::span<const std::uint16_t> widths; // 1/256 character; empty: the default 8 characters
    bool blankSecondRow;
};

TemplateLayout templateLayout(TemplateKind kind);

// The template as a workbook: one sheet (`sheet1` for books, `Sheet1`
// otherwise), the header row in 宋体 (10 pt for books, 12 pt otherwise), the
// column widths, and for books a second row of 16 blank cells in the
// header's format.
Workbook templateWorkbook(TemplateKind kind);

// A workbook of the program's own making laid out as the reader template:
// one sheet `Sheet1` whose row 1 holds `headers` in 宋体 12 pt, default
// column widths. The caller adds the rows.
Workbook headedWorkbook(std::span<const std::string_view> headers);

// Writes the template to the path, replacing the whole file.
Status writeTemplate(TemplateKind kind, std::string_view path);

} // namespace chengxi::xls
