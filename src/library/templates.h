#pragma once

#include "xls/result.h"
#include "xls/template_layout.h"
#include "xls/workbook.h"

#include <span>
#include <string_view>

// The three workbooks an export starts from: their row 1 holds the columns
// of the table they carry.
namespace chengxi::library {

enum class TemplateKind { Books, Readers, LoanReport };

// The header texts of row 1, which are also the table's column names.
std::span<const std::string_view> templateHeaders(TemplateKind kind);

// What the template is made of, for writers of other formats.
xls::TemplateLayout templateLayout(TemplateKind kind);

// The template as a workbook: one sheet (`sheet1` for books, `Sheet1`
// otherwise), the header row in 宋体 (10 pt for books, 12 pt otherwise), the
// column widths, and for books a second row of 16 blank cells in the
// header's format.
xls::Workbook templateWorkbook(TemplateKind kind);

// Writes the template to the path, replacing the whole file.
xls::Status writeTemplate(TemplateKind kind, std::string_view path);

} // namespace chengxi::library
