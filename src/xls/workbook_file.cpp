#include "xls/workbook_file.h"

#include "xls/compound_file.h"
#include "xls/file_io.h"
#include "xls/property_sets.h"
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

Status saveWorkbook(std::string_view path, Workbook&& workbook,
                    std::vector<AppendedRows> appended) {
    auto stream = WorkbookStreamWriter::start(std::move(workbook), std::move(appended));
    if (!stream) {
        return fail(stream.error());
    }
    const std::size_t size = stream->size();
    const std::string summary = summaryInformationStream();
    const std::string documentSummary = documentSummaryInformationStream();
    const std::string head = buildCompoundFileHead({{"Workbook", {}, size},
                                                    {"\x05SummaryInformation", summary},
                                                    {"\x05"
                                                     "DocumentSummaryInformation",
                                                     documentSummary}});
    const std::filesystem::path target = pathFromUtf8(path);
    return replaceFileBy(target, [&](platform::TemporaryFile& temporary) -> Status {
        const std::string padding(compoundSectorPadding(size), '\0');
        const bool written = temporary.write(head) && stream->writeTo([&](std::string_view piece) {
            return temporary.write(piece);
        }) && temporary.write(padding);
        if (!written) {
            return fail("写入文件“" + pathToUtf8(target) + "”失败，磁盘可能已满");
        }
        return {};
    });
}

} // namespace chengxi::xls
