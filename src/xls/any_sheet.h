#pragma once

#include "xls/result.h"
#include "xls/sheet_text.h"

#include <string_view>

namespace chengxi::xls {

// The first worksheet of an .xls or .xlsx workbook, told apart by the file's
// bytes, as rows of texts by the value-to-text rule.
Result<SheetText> readFirstSheetOfAnyKind(std::string_view path);

} // namespace chengxi::xls
