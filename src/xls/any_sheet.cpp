#include "xls/any_sheet.h"

#include "xls/file_format.h"
#include "xls/xlsx_reader.h"

namespace chengxi::xls {

Result<SheetText> readFirstSheetOfAnyKind(std::string_view path) {
    const auto format = workbookFormatOfFile(path);
    if (!format || *format != WorkbookFormat::Xlsx) {
        return readFirstSheet(path);
    }
    auto workbook = XlsxWorkbook::open(path);
    if (!workbook) {
        return fail(workbook.error());
    }
    return xlsxSheetText(*workbook, 0);
}

} // namespace chengxi::xls
