#include "xls/first_rows.h"

#include "xls/compound_file.h"
#include "xls/file_io.h"
#include "xls/workbook_file.h"

namespace chengxi::xls {

Result<FirstRows> readFirstRows(std::string_view path, std::uint32_t rows) {
    const auto bytes = readFileBytes(pathFromUtf8(path), kMaxWorkbookFileSize);
    if (!bytes) {
        return fail(bytes.error());
    }
    const Bytes file = asBytes(*bytes);
    // A large workbook stream usually stands in one piece: read where it
    // stands, it is not copied for the few records the rows need.
    if (const auto compound = CompoundFile::parse(file); compound) {
        if (const std::optional<Bytes> stream = compound->streamInPlace("Workbook")) {
            return parseFirstRows(*stream, rows);
        }
    }
    auto stream = extractWorkbookStream(file);
    if (!stream) {
        return fail(stream.error());
    }
    return parseFirstRows(asBytes(*stream), rows);
}

} // namespace chengxi::xls
