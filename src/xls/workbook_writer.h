#pragma once

#include "xls/result.h"
#include "xls/workbook.h"

#include <string>

// Writing Excel 97-2003 workbooks: BIFF8 records inside an OLE2 compound
// file, as Excel, LibreOffice and xlrd read them. The bytes depend only on
// the workbook's content.
namespace chengxi::xls {

// The most characters (UTF-16 units) one cell can hold.
inline constexpr std::size_t kMaxCellCharacters = 32767;
// The longest sheet name.
inline constexpr std::size_t kMaxSheetNameCharacters = 31;

// The BIFF8 `Workbook` stream.
Result<std::string> buildWorkbookStream(const Workbook& workbook);

// A complete .xls file: the Workbook stream with the SummaryInformation and
// DocumentSummaryInformation property streams.
Result<std::string> buildWorkbookFile(const Workbook& workbook);

} // namespace chengxi::xls
