#include "xls/workbook_file.h"

#include "xls/file_io.h"
#include "xls/workbook_reader.h"
#include "xls/workbook_writer.h"

namespace chengxi::xls {

Result<Workbook> loadWorkbook(std::string_view path) {
    auto stream = [&]() -> Result<std::string> {
        // The file's bytes are let go once the stream is out of them, so a
        // large workbook is never held three times over.
        auto bytes = readFileBytes(pathFromUtf8(path), kMaxWorkbookFileSize);
        if (!bytes) {
            return fail(bytes.error());
        }
        return extractWorkbookStream(asBytes(*bytes));
    }();
    if (!stream) {
        return fail(stream.error());
    }
    return parseWorkbookStream(asBytes(*stream));
}

Status saveWorkbook(std::string_view path, const Workbook& workbook) {
    auto bytes = buildWorkbookFile(workbook);
    if (!bytes) {
        return fail(bytes.error());
    }
    return replaceFile(pathFromUtf8(path), *bytes);
}

} // namespace chengxi::xls
