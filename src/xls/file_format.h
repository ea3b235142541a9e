#pragma once

#include "xls/byte_io.h"
#include "xls/result.h"

#include <string_view>

// Which kind of workbook a file holds, told by its first bytes rather than
// its name, so an .xls renamed .xlsx (or the other way round) still reads.
namespace chengxi::xls {

enum class WorkbookFormat {
    Xls,     // an OLE2 compound file (Excel 97-2003)
    Xlsx,    // a zip archive (Office Open XML)
    Unknown, // neither
};

// The bytes needed to tell the formats apart.
inline constexpr std::size_t kFormatSignatureSize = 8;

WorkbookFormat workbookFormatOf(Bytes head);

// Reads the first bytes of the file at the UTF-8 path.
Result<WorkbookFormat> workbookFormatOfFile(std::string_view path);

} // namespace chengxi::xls
