// Fuzz target for the .xlsx reader. Any bytes must either fail with a reason
// or read as a sound workbook: sheets named, rows ascending within the
// sheet, cells ascending within the row and inside the grid, every text
// non-empty UTF-8; a visitor that stops is never called again.
//
// An input that does not start like a zip archive is taken as the parts of
// a package (fields ended by a 0xFF byte: the worksheet, then the shared
// strings, the styles and the workbook part), stored in an otherwise sound
// package, so that mutations reach the XML without first having to keep
// the archive's checksums intact.
#include "../package_builder.h"
#include "text/utf8.h"
#include "xls/byte_io.h"
#include "xls/xlsx_reader.h"

#include <cstdio>
#include <cstdlib>

using namespace chengxi::xls;

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "xlsx fuzz check failed: %s\n", what);
        std::abort();
    }
}

// Small enough that no single allocation nears the fuzzer's limit.
constexpr InflateLimits kLimits{std::uint64_t{4} << 20, std::uint64_t{16} << 20, 250};

std::string packageOf(std::string_view input) {
    static const char* const kParts[] = {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml",
                                         "xl/styles.xml", "xl/workbook.xml"};
    testing::PackageParts parts = testing::soundPackage("");
    std::size_t start = 0;
    for (const char* part : kParts) {
        const std::size_t end = std::min(input.find('\xFF', start), input.size());
        parts[part] = std::string(input.substr(start, end - start));
        if (end == input.size()) {
            break;
        }
        start = end + 1;
    }
    return testing::zipPackage(parts, true);
}

void checkSheet(XlsxWorkbook& workbook, std::size_t sheet) {
    bool first = true;
    std::uint32_t last = 0;
    const Status read = workbook.readRows(sheet, [&](const XlsxRow& row) {
        check(first || row.index > last, "rows ascending");
        check(row.index <= kXlsxLastRowIndex, "row inside the sheet");
        check(!row.cells.empty(), "a row holds a text");
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            const XlsxCell& cell = row.cells[i];
            check(i == 0 || row.cells[i - 1].column < cell.column, "cells ascending, each once");
            check(cell.column <= kXlsxLastColumnIndex, "cell inside the sheet");
            check(!cell.text.empty(), "a cell holds a text");
            check(chengxi::text::isValidUtf8(cell.text), "texts are UTF-8");
        }
        first = false;
        last = row.index;
        return true;
    });
    check(read.ok() || !read.error().empty(), "a failure says why");

    bool stopped = false;
    const Status preview = workbook.readRows(sheet, [&](const XlsxRow&) {
        check(!stopped, "no row after the visitor stopped");
        stopped = true;
        return false;
    });
    check(preview.ok() || !preview.error().empty(), "a failure says why");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string package = input.starts_with("PK") ? std::string(input) : packageOf(input);
    auto workbook = XlsxWorkbook::openBytes(asBytes(package), kLimits);
    if (!workbook) {
        check(!workbook.error().empty(), "a failure says why");
        return 0;
    }
    check(!workbook->sheetNames().empty(), "a workbook has sheets");
    for (std::size_t sheet = 0; sheet < workbook->sheetNames().size(); ++sheet) {
        checkSheet(*workbook, sheet);
    }
    return 0;
}
