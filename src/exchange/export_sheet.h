#pragma once

#include "library/templates.h"
#include "platform/temporary_file.h"
#include "xls/workbook_connection.h"
#include "xls/xlsx_writer.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::exchange {

// True when the file name ends in ".xlsx" (any letter case): the export
// then writes an .xlsx workbook, otherwise an .xls one.
bool namesXlsxWorkbook(std::string_view path);

// The sheet an export fills: an .xls workbook built from its template in
// the workbook connection, or an .xlsx sheet laid out as the template whose
// rows stream to a temporary file beside the target. Either way the file at
// the path stays as it was until close() has the whole new workbook, which
// then takes its place.
class ExportSheet {
public:
    explicit ExportSheet(xls::WorkbookConnection& workbook) : workbook_(workbook) {}
    // Writes what the sheet holds, as close() does.
    ~ExportSheet();
    ExportSheet(const ExportSheet&) = delete;
    ExportSheet& operator=(const ExportSheet&) = delete;

    // Starts the workbook of template `kind` for `path`; false when no file
    // can be made in its folder, before anything is written.
    bool start(library::TemplateKind kind, const std::string& path);

    // Adds one row below the last, values in the template's column order;
    // false when the sheet refuses it, which then adds nothing.
    bool append(std::span<const std::string> values);
    // True when the last refused row found the sheet full.
    bool full() const { return full_; }
    bool isXlsx() const { return xlsx_.has_value(); }

    // Writes the workbook with the rows added so far to the path; false when
    // it could not be written whole, the earlier file then kept. Nothing to
    // do the second time.
    bool close();
    // Drops the workbook unwritten, for an export that cannot have all its
    // rows: the earlier file at the path stays as it was.
    void discard();

private:
    struct XlsxTarget {
        platform::TemporaryFile temporary;
        xls::XlsxSheetWriter writer;
        std::filesystem::path path;
    };

    bool startXlsx(library::TemplateKind kind, const std::string& path);

    xls::WorkbookConnection& workbook_;
    std::optional<XlsxTarget> xlsx_;
    std::span<const std::string_view> columns_;
    std::vector<std::string_view> values_; // of the row being added
    std::uint32_t rows_ = 0;               // of an .xls sheet, the header row included
    bool full_ = false;
};

} // namespace chengxi::exchange
