#pragma once

#include "xls/result.h"
#include "xls/workbook_reader.h"

#include <cstdint>
#include <string_view>

namespace chengxi::xls {

// The first `rows` rows of the first worksheet of the .xls file at `path`,
// for a preview: the rest of the sheet and the other sheets are not parsed,
// and of the shared strings only those the rows use.
Result<FirstRows> readFirstRows(std::string_view path, std::uint32_t rows);

} // namespace chengxi::xls
