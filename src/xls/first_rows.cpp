#include "xls/first_rows.h"

#include "xls/file_io.h"
#include "xls/workbook_file.h"

namespace chengxi::xls {

Result<FirstRows> readFirstRows(std::string_view path, std::uint32_t rows) {
    auto stream = [&]() -> Result<std::string> {
        auto bytes = readFileBytes(pathFromUtf8(path), kMaxWorkbookFileSize);
        if (!bytes) {
            return fail(bytes.error());
        }
        return extractWorkbookStream(asBytes(*bytes));
    }();
    if (!stream) {
        return fail(stream.error());
    }
    return parseFirstRows(asBytes(*stream), rows);
}

} // namespace chengxi::xls
