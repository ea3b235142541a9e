#pragma once

#include "xls/result.h"
#include "xls/template_layout.h"
#include "xls/workbook.h"
#include "xls/xlsx_values.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;

// Writing an export as an Office Open XML workbook (.xlsx): one sheet laid
// out as one of the three templates (sheet name, header texts, font 宋体 of
// the template's size, column widths), then the records one row each,
// every value a text cell. Rows go to disk as they come, so a sheet of a
// million rows costs the memory of one.
namespace chengxi::xls {

// Writes the workbook's sheets whole to `path` (UTF-8): their texts and
// numbers, every cell in 宋体 of the workbook's first font size. Fails for
// a text that is not UTF-8 or longer than a cell holds.
Status writeXlsxWorkbook(std::string_view path, const Workbook& book);

class XlsxSheetWriter {
public:
    // An .xlsx sheet holds 1,048,576 rows, the header row included.
    static constexpr std::uint32_t kMaxRows = kXlsxLastRowIndex + 1;

    // Starts the workbook for `path` (UTF-8) laid out as the template, its
    // header row written. Nothing is written there before finish().
    static Result<XlsxSheetWriter> create(std::string_view path, const TemplateLayout& layout);

    XlsxSheetWriter(XlsxSheetWriter&&) noexcept = default;
    XlsxSheetWriter& operator=(XlsxSheetWriter&&) noexcept = default;
    // Without finish() the workbook is dropped and the path left alone.
    ~XlsxSheetWriter() = default;

    // Adds one row below the last, values in the template's column order
    // (at most one per header); an empty value leaves its cell empty. Fails
    // and adds nothing for a value that is not UTF-8 or longer than a cell
    // holds (32,767 characters), for more values than headers, or when the
    // sheet is full.
    Status appendRow(std::span<const std::string_view> values);
    Status appendRow(std::span<const std::string> values);

    // Writes the whole file to the path. The writer is spent afterwards.
    Status finish();

    // Rows so far, the header row included.
    std::uint32_t rowCount() const { return rows_; }

private:
    struct Freer {
        void operator()(lxw_workbook* workbook) const;
    };

    XlsxSheetWriter(lxw_workbook* workbook, std::string path, std::size_t columns);
    template <class Text> Status append(std::span<const Text> values);

    std::unique_ptr<lxw_workbook, Freer> workbook_;
    lxw_worksheet* sheet_ = nullptr; // owned by the workbook
    std::string path_;
    std::size_t columns_ = 0;
    std::uint32_t rows_ = 0;
    std::vector<std::string> rowTexts_; // reused from row to row
};

} // namespace chengxi::xls
