#include "schoolyear/leavers_export.h"

#include "exchange/export_target.h"
#include "exchange/workbook_steps.h"
#include "library/templates.h"
#include "schoolyear/printing.h"
#include "text/file_path.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/frame.h"
#include "ui/services.h"
#include "xls/file_io.h"
#include "xls/workbook_writer.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace chengxi::schoolyear {
namespace {

namespace names = ui::names::promotion;

constexpr std::array<std::string_view, 5> kHeaders = {"班别", "姓名", "借书证号", "未还图书编号",
                                                      "未还书名"};

xls::Workbook leaversWorkbook(const ui::ListView& list) {
    xls::Workbook book = xls::headedWorkbook(kHeaders);
    xls::Sheet& sheet = book.sheets.front();
    for (int row = 0; row < list.rowCount(); ++row) {
        const auto sheetRow = static_cast<std::uint16_t>(row + 1);
        std::vector<xls::Cell> cells;
        for (std::uint16_t column = 0; column < kHeaders.size(); ++column) {
            if (const std::string& text = list.cell(row, column); !text.empty()) {
                cells.push_back(xls::Cell::ofText(sheetRow, column, xls::kDefaultCellStyle,
                                                  book.strings.intern(text)));
            }
        }
        sheet.putRow(sheetRow, cells);
    }
    return book;
}

// Columns of the printed list: left edge and width in millimetres.
struct PrintColumn {
    double left;
    double width;
};
constexpr std::array<PrintColumn, 5> kPrintColumns = {
    {{15, 35}, {50, 22}, {72, 28}, {100, 40}, {140, 55}}};
constexpr double kLineHeight = 7;
constexpr double kFirstLine = 30;
constexpr double kLastLine = 280;

ui::Printout leaversPrintout(const ui::ListView& list) {
    ui::Printout printout{.title = "毕业未还书名单", .pages = {}};
    double top = kLastLine;
    for (int row = -1; row < list.rowCount(); ++row) {
        if (top + kLineHeight > kLastLine) {
            ui::PrintSheet& page = printout.pages.emplace_back();
            page.texts.push_back({15, 12, 180, 9, "已毕业但仍有图书未还的读者", 14, true, true});
            top = kFirstLine;
            for (std::size_t column = 0; column < kHeaders.size(); ++column) {
                page.texts.push_back({kPrintColumns[column].left, top, kPrintColumns[column].width,
                                      kLineHeight, std::string(kHeaders[column]), 10, true});
            }
            top += kLineHeight;
        }
        if (row < 0) {
            continue;
        }
        ui::PrintSheet& page = printout.pages.back();
        for (std::size_t column = 0; column < kHeaders.size(); ++column) {
            page.texts.push_back({kPrintColumns[column].left, top, kPrintColumns[column].width,
                                  kLineHeight, list.cell(row, static_cast<int>(column)), 10});
        }
        top += kLineHeight;
    }
    return printout;
}

} // namespace

void printLeavers(const ui::Services& services) {
    const ui::Window* window = services.frame.window(names::kWindow);
    printOrTell(services, leaversPrintout(window->control(names::kLeavers).listView()), {});
}

void exportLeavers(const ui::Services& services) {
    const ui::Window* window = services.frame.window(names::kWindow);
    const std::optional<std::string> path =
        exchange::chooseFile(services, exchange::DialogMode::Save);
    if (!path) {
        return;
    }
    if (const std::optional<std::string> refusal = exchange::exportTargetRefusal(services, *path)) {
        exchange::showError(services, *refusal);
        return;
    }
    const auto bytes =
        xls::buildWorkbookFile(leaversWorkbook(window->control(names::kLeavers).listView()));
    if (!bytes) {
        exchange::showError(services, "导出名单失败：" + bytes.error());
        return;
    }
    if (const xls::Status written = xls::replaceFile(text::toPath(*path), *bytes); !written) {
        exchange::showError(services, "导出名单失败：" + written.error());
        return;
    }
    exchange::showInformation(services, "名单已导出到“" + *path + "”。");
}

} // namespace chengxi::schoolyear
