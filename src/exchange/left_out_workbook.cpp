#include "exchange/left_out_workbook.h"

#include "library/templates.h"
#include "text/file_path.h"
#include "xls/file_io.h"
#include "xls/workbook_writer.h"

#include <array>
#include <filesystem>
#include <system_error>

namespace chengxi::exchange {
namespace {

constexpr std::array<std::string_view, 3> kLeadingHeaders = {"行号", "列名", "字符"};

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}

// Replaces 导入未成功的行.xls in `folder` with `bytes`, unless that file is
// the workbook just imported.
xls::Result<std::string> writeIn(const std::filesystem::path& folder, std::string_view bytes,
                                 const std::filesystem::path& imported) {
    const std::filesystem::path target = folder / text::toPath(kLeftOutFileName);
    const std::string shown = text::fromPath(target);
    if (sameFile(target, imported)) {
        return xls::fail("“" + shown + "”是刚导入的文件");
    }
    if (const xls::Status written = xls::replaceFile(target, bytes); !written) {
        return xls::fail(written.error());
    }
    return shown;
}

} // namespace

xls::Workbook leftOutWorkbook(std::span<const std::string_view> columns) {
    std::vector<std::string_view> headers(kLeadingHeaders.begin(), kLeadingHeaders.end());
    headers.insert(headers.end(), columns.begin(), columns.end());
    return xls::headedWorkbook(headers);
}

void appendLeftOutRow(xls::Workbook& book, const LeftOutRow& leftOut) {
    xls::Sheet& sheet = book.sheets.front();
    // The imported sheet had no more rows than a sheet holds, so neither
    // has this one.
    const auto row = static_cast<std::uint16_t>(sheet.rowCount());
    std::vector<xls::Cell> cells;
    cells.reserve(kLeadingHeaders.size() + leftOut.cells.size());
    cells.push_back(xls::Cell::ofNumber(row, 0, xls::kDefaultCellStyle, leftOut.sheetRow + 1.0));
    std::uint16_t column = 1;
    const auto addText = [&](std::string_view text) {
        // An empty cell stays empty, as it was in the imported sheet.
        if (!text.empty()) {
            cells.push_back(
                xls::Cell::ofText(row, column, xls::kDefaultCellStyle, book.strings.intern(text)));
        }
        ++column;
    };
    addText(leftOut.column);
    addText(leftOut.character);
    for (const std::string& cell : leftOut.cells) {
        addText(cell);
    }
    sheet.putRow(row, cells);
}

xls::Result<std::string> saveLeftOutWorkbook(const xls::Workbook& workbook,
                                             std::string_view importedPath,
                                             std::string_view dataFolder) {
    const auto bytes = xls::buildWorkbookFile(workbook);
    if (!bytes) {
        return xls::fail(bytes.error());
    }
    const std::filesystem::path imported = text::toPath(importedPath);
    const std::filesystem::path beside = imported.parent_path();
    auto written = writeIn(beside, *bytes, imported);
    if (written || sameFile(beside, text::toPath(dataFolder))) {
        return written;
    }
    auto inDataFolder = writeIn(text::toPath(dataFolder), *bytes, imported);
    if (inDataFolder) {
        return inDataFolder;
    }
    return xls::fail(written.error() + "；" + inDataFolder.error());
}

} // namespace chengxi::exchange
