#include "exchange/workbook_file.h"

#include "exchange/file_io.h"
#include "exchange/workbook_reader.h"
#include "exchange/workbook_writer.h"

namespace chengxi::exchange {

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

} // namespace chengxi::exchange
