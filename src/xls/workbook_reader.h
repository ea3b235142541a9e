#pragma once

#include "xls/byte_io.h"
#include "xls/result.h"
#include "xls/workbook.h"

#include <string>

// Reading Excel 97-2003 workbooks (BIFF8 in a compound file) written by
// Excel, WPS, LibreOffice, xlwt, SheetJS or this program.
namespace chengxi::xls {

// Reads the bytes of a whole .xls file. A file that is not a workbook, is
// truncated or damaged fails with a reason; nothing in it can make the
// reader crash, loop or allocate more than a small multiple of its size.
Result<Workbook> parseWorkbookFile(Bytes file);

// The `Workbook` stream of a compound file.
Result<std::string> extractWorkbookStream(Bytes file);

// Reads the BIFF8 `Workbook` stream itself.
Result<Workbook> parseWorkbookStream(Bytes stream);

// The first `rows` rows of the first worksheet, with the formats and only
// the shared strings they use; the records after them are not parsed.
struct FirstRows {
    Workbook book;
    std::size_t recordsParsed = 0; // what the reading cost, for the tests
};
Result<FirstRows> parseFirstRows(Bytes stream, std::uint32_t rows);

} // namespace chengxi::xls
