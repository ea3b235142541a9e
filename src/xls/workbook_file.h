#pragma once

#include "xls/appended_rows.h"
#include "xls/result.h"
#include "xls/workbook.h"

#include <cstddef>
#include <string_view>
#include <vector>

// Workbooks on disk, by UTF-8 path.
namespace chengxi::xls {

// No Excel 97-2003 workbook comes near this size; a larger file is refused
// before it is read into memory.
inline constexpr std::size_t kMaxWorkbookFileSize = std::size_t{512} * 1024 * 1024;

Result<Workbook> loadWorkbook(std::string_view path);

// Writes the whole file; on failure the file keeps its old content.
Status saveWorkbook(std::string_view path, const Workbook& workbook);
// The same for a workbook with, for its sheets in order, rows appended below
// their cells. Its texts are let go once the shared strings are laid out,
// and the stream goes into the file a piece at a time, so a large export
// never holds its stream or the file's image whole.
Status saveWorkbook(std::string_view path, Workbook&& workbook,
                    std::vector<AppendedRows> appended = {});

} // namespace chengxi::xls
