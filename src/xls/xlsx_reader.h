#pragma once

#include "xls/byte_io.h"
#include "xls/result.h"
#include "xls/sheet_text.h"
#include "xls/string_pool.h"
#include "xls/xlsx_values.h"
#include "xls/zip_archive.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Reading Office Open XML workbooks (.xlsx) as written by Excel, WPS,
// LibreOffice, openpyxl or this program. A worksheet is never held whole:
// its rows stream to the caller as the part inflates, so a sheet of a
// million rows costs the memory of one row. Every cell reads as text by
// the same rule as an .xls cell (cell_text.h).
namespace chengxi::xls {

// One cell that reads as a non-empty text.
struct XlsxCell {
    std::uint32_t column = 0; // 0-based
    std::string_view text;
};

// One row holding at least one such cell; the views last until the
// visitor returns.
struct XlsxRow {
    std::uint32_t index = 0;         // 0-based: row 1 of the sheet is 0
    std::span<const XlsxCell> cells; // by column, each column once
};

// Sees the rows in ascending order; returns false to stop reading.
using XlsxRowVisitor = std::function<bool(const XlsxRow& row)>;

class XlsxWorkbook {
public:
    // Opens the package and reads what every sheet needs: the sheet list,
    // the shared strings and the cell formats. Fails with a reason for a
    // damaged or hostile package; nothing in it can make the reader crash,
    // loop, or inflate beyond `limits`.
    static Result<XlsxWorkbook> open(std::string_view path, InflateLimits limits = {});
    // The same for a package in memory; `bytes` must outlive the object.
    static Result<XlsxWorkbook> openBytes(Bytes bytes, InflateLimits limits = {});

    // The sheet names in the workbook's order.
    const std::vector<std::string>& sheetNames() const { return sheetNames_; }
    // The first sheet with this name, ASCII letter case aside.
    std::optional<std::size_t> findSheet(std::string_view name) const;

    // Streams the rows of sheet `sheet` to `visit`. A sheet that turns out
    // damaged fails with a reason, possibly after some rows were visited.
    Status readRows(std::size_t sheet, const XlsxRowVisitor& visit);

private:
    explicit XlsxWorkbook(ZipArchive archive) : archive_(std::move(archive)) {}
    static Result<XlsxWorkbook> load(Result<ZipArchive> archive);
    Status loadStructure();

    ZipArchive archive_;
    std::vector<std::string> sheetNames_;
    std::vector<std::string> sheetParts_;
    bool dateMode1904_ = false;
    StringPool sharedStrings_;
    std::vector<std::uint8_t> dateStyles_; // per cell format: 1 when a date
};

// The whole sheet as rows of texts, for the support tool and the tests.
Result<SheetText> xlsxSheetText(XlsxWorkbook& workbook, std::size_t sheet);

} // namespace chengxi::xls
