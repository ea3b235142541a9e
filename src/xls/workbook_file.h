#pragma once

#include "xls/result.h"
#include "xls/workbook.h"

#include <cstddef>
#include <string_view>

// Workbooks on disk, by UTF-8 path.
namespace chengxi::xls {

// No Excel 97-2003 workbook comes near this size; a larger file is refused
// before it is read into memory.
inline constexpr std::size_t kMaxWorkbookFileSize = std::size_t{512} * 1024 * 1024;

Result<Workbook> loadWorkbook(std::string_view path);

// Writes the whole file; on failure the file keeps its old content.
Status saveWorkbook(std::string_view path, const Workbook& workbook);
// The same, letting go of the workbook's cells once its stream is built, so
// a large export never holds its cells, its stream and the file's image at
// once: the stream goes into the file as it stands.
Status saveWorkbook(std::string_view path, Workbook&& workbook);

} // namespace chengxi::xls
