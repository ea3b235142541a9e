#pragma once

#include "xls/result.h"
#include "xls/string_pool.h"
#include "xls/xlsx_reader.h"
#include "xls/zip_archive.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace chengxi::xls {

// What a worksheet's cells need to read as text.
struct SheetContext {
    std::string_view name; // for messages
    const StringPool& sharedStrings;
    std::span<const std::uint8_t> dateStyles;
    bool dateMode1904 = false;
};

// Streams the worksheet part's rows to `visit`.
Status streamSheetRows(ZipArchive& archive, std::string_view part, const SheetContext& context,
                       const XlsxRowVisitor& visit);

} // namespace chengxi::xls
