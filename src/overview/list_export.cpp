#include "overview/list_export.h"

#include "exchange/export_sheet.h"
#include "exchange/export_target.h"
#include "exchange/workbook_steps.h"
#include "library/templates.h"
#include "overview/kept_filters.h"
#include "text/file_path.h"
#include "ui/controls/list_view.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "xls/file_io.h"
#include "xls/utf16.h"
#include "xls/workbook_writer.h"
#include "xls/xlsx_writer.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

namespace chengxi::overview {
namespace {

constexpr std::string_view kCountColumns[] = {"逾期天数", "借阅次数", "借出", "归还", "名次"};

bool isCountColumn(std::string_view caption) {
    return std::find(std::begin(kCountColumns), std::end(kCountColumns), caption) !=
           std::end(kCountColumns);
}

std::optional<double> countOf(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return static_cast<double>(value);
}

xls::Sheet sheetOf(xls::Workbook& book, const ListSheet& source) {
    xls::Sheet sheet;
    sheet.name = std::string(source.name);
    const auto& columns = source.list->columns();
    std::vector<xls::Cell> cells;
    const auto add = [&](std::uint16_t row, std::uint16_t column, std::string_view text) {
        if (text.empty()) {
            return; // an empty cell stays empty, as in the list
        }
        const auto count = row > 0 && isCountColumn(columns[column].caption)
                               ? countOf(text)
                               : std::optional<double>();
        cells.push_back(count ? xls::Cell::ofNumber(row, column, xls::kDefaultCellStyle, *count)
                              : xls::Cell::ofText(row, column, xls::kDefaultCellStyle,
                                                  book.strings.intern(text)));
    };
    for (std::size_t c = 0; c < columns.size(); ++c) {
        add(0, static_cast<std::uint16_t>(c), columns[c].caption);
    }
    for (int r = 0; r < source.list->rowCount(); ++r) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            add(static_cast<std::uint16_t>(r + 1), static_cast<std::uint16_t>(c),
                source.list->cell(r, static_cast<int>(c)));
        }
    }
    sheet.assignCells(std::move(cells));
    return sheet;
}

bool endsWithXls(std::string_view path) {
    constexpr std::string_view kExtension = ".xls";
    return path.size() >= kExtension.size() &&
           xls::equalsIgnoringAsciiCase(path.substr(path.size() - kExtension.size()), kExtension);
}

xls::Status writeLists(const std::string& path, const xls::Workbook& book) {
    if (!exchange::namesXlsxWorkbook(path)) {
        const auto bytes = xls::buildWorkbookFile(book);
        if (!bytes) {
            return xls::fail(bytes.error());
        }
        return xls::replaceFile(text::toPath(path), *bytes);
    }
    return xls::replaceFileBy(text::toPath(path), [&](platform::TemporaryFile& temporary) {
        return xls::writeXlsxWorkbook(xls::pathToUtf8(temporary.path()), book);
    });
}

} // namespace

xls::Workbook listWorkbook(std::span<const ListSheet> sheets) {
    // The program's header style: a sheet of its own making, emptied of its sheet.
    xls::Workbook book = xls::headedWorkbook({});
    book.sheets.clear();
    for (const ListSheet& source : sheets) {
        book.sheets.push_back(sheetOf(book, source));
    }
    return book;
}

void exportLists(const ui::Services& services, std::span<const ListSheet> sheets,
                 std::string_view empty) {
    if (sheets.empty() || sheets.front().list->rowCount() == 0) {
        services.screen.messageBox({std::string(empty), "提示"});
        return;
    }
    const auto path =
        exchange::chooseFile(services, exchange::DialogMode::Save, keptExportFolder(services));
    if (!path) {
        return;
    }
    if (!endsWithXls(*path) && !exchange::namesXlsxWorkbook(*path)) {
        exchange::showError(services, "请选择以 .xls 或 .xlsx 结尾的文件名。");
        return;
    }
    if (const auto refusal = exchange::exportTargetRefusal(services, *path)) {
        exchange::showError(services, *refusal);
        return;
    }
    if (const xls::Status written = writeLists(*path, listWorkbook(sheets)); !written) {
        exchange::showError(services, "导出数据失败！" + written.error());
        return;
    }
    keepExportFolder(services, *path);
    exchange::showInformation(services, "恭喜您，导出成功！");
}

} // namespace chengxi::overview
