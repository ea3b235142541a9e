#include "exchange/export_sheet.h"

#include "platform/file_facts.h"
#include "text/file_path.h"
#include "xls/file_io.h"
#include "xls/sheet.h"
#include "xls/utf16.h"

namespace chengxi::exchange {

bool namesXlsxWorkbook(std::string_view path) {
    constexpr std::string_view kSuffix = ".xlsx";
    return path.size() >= kSuffix.size() &&
           xls::equalsIgnoringAsciiCase(path.substr(path.size() - kSuffix.size()), kSuffix);
}

ExportSheet::~ExportSheet() {
    close();
}

bool ExportSheet::start(library::TemplateKind kind, const std::string& path) {
    columns_ = library::templateHeaders(kind);
    full_ = false;
    if (namesXlsxWorkbook(path)) {
        return startXlsx(kind, path);
    }
    const std::filesystem::path folder = text::toPath(path).parent_path();
    if (!platform::TemporaryFile::create(folder.empty() ? "." : folder,
                                         platform::FileAccess::Shared)) {
        return false;
    }
    workbook_.create(path, library::templateWorkbook(kind));
    rows_ = 1;
    return true;
}

bool ExportSheet::startXlsx(library::TemplateKind kind, const std::string& path) {
    const std::filesystem::path target = text::toPath(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    // A temporary left by an export that was killed goes before the next one.
    platform::removeStaleTemporaryFiles(folder);
    std::optional<platform::TemporaryFile> temporary =
        platform::TemporaryFile::create(folder, platform::FileAccess::Shared);
    if (!temporary) {
        return false;
    }
    auto writer = xls::XlsxSheetWriter::create(xls::pathToUtf8(temporary->path()),
                                               library::templateLayout(kind));
    if (!writer) {
        return false;
    }
    xlsx_.emplace(XlsxTarget{std::move(*temporary), std::move(writer).value(), target});
    return true;
}

bool ExportSheet::append(std::span<const std::string> values) {
    if (xlsx_) {
        full_ = xlsx_->writer.rowCount() >= xls::XlsxSheetWriter::kMaxRows;
        return xlsx_->writer.appendRow(values).ok();
    }
    full_ = rows_ > xls::kLastRowIndex;
    values_.assign(values.begin(), values.end());
    if (!workbook_.appendRow("Sheet1", columns_, values_)) {
        return false;
    }
    ++rows_;
    return true;
}

bool ExportSheet::close() {
    if (!xlsx_) {
        return workbook_.close();
    }
    XlsxTarget target = std::move(*xlsx_);
    xlsx_.reset();
    // Flushed before it takes the name: after a crash or a power cut the
    // file is the old one or the new one, never a part of either. A file
    // made read-only meanwhile is not replaced.
    return target.writer.finish().ok() && target.temporary.flushToDisk() &&
           !platform::isReadOnlyFile(target.path) && target.temporary.replace(target.path);
}

void ExportSheet::discard() {
    if (xlsx_) {
        xlsx_.reset(); // the writer lets go of the temporary, which is then removed
        return;
    }
    workbook_.discard();
}

} // namespace chengxi::exchange
