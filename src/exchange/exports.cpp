#include "exchange/exports.h"

#include "exchange/export_sheet.h"
#include "exchange/export_target.h"
#include "exchange/workbook_steps.h"
#include "library/report.h"
#include "library/schema.h"
#include "library/table_rows.h"
#include "library/templates.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace chengxi::exchange {
namespace {

namespace names = ui::names::main;

constexpr std::string_view kExportFailed = "导出数据失败！";
constexpr std::string_view kExportedFromDamage =
    "导出已结束，但数据库文件“数据库.sdb”已损坏，导出的数据可能不完整。请用损坏之前的备份恢复。";

// What stopped the source query, when it is a cause the export's own failure
// text would misname (another program's lock, damage): `failed` + the cause.
std::optional<std::string> queryFailureCause(const store::Connection& connection,
                                             std::string_view failed) {
    const std::string_view cause = store::failureCause(connection);
    if (cause.empty()) {
        return std::nullopt;
    }
    return std::string(failed) + "：" + std::string(cause);
}

// An export of a database found damaged is not reported a success: what it
// read may be incomplete. True when that was said.
bool saidDamaged(const ui::Services& services) {
    if (!services.database.connection.damageFound()) {
        return false;
    }
    services.screen.messageBox(
        {std::string(kExportedFromDamage), ui::kDefaultTitle, ui::Buttons::Ok, ui::Icon::Warning});
    return true;
}

// The path chosen in the save dialog; nothing when the librarian cancelled
// or chose a file the export must not replace, which is said before
// anything is written.
std::optional<std::string> chooseExportPath(const ui::Services& services) {
    std::optional<std::string> path = chooseFile(services, DialogMode::Save);
    if (path) {
        if (const std::optional<std::string> refusal = exportTargetRefusal(services, *path)) {
            showError(services, *refusal);
            return std::nullopt;
        }
    }
    return path;
}

// Starts the export's workbook from its template (an .xlsx one for a name
// ending in .xlsx). The file is written whole when the workbook closes, so an
// earlier file at the path is kept until the export has its rows. A folder
// where no file can be made stops the export as a failed connection would,
// before anything else is done.
bool startWorkbook(const ui::Services& services, ExportSheet& sheet, library::TemplateKind kind,
                   const std::string& path) {
    if (!sheet.start(kind, path)) {
        showError(services, "数据库连接失败！");
        return false;
    }
    return true;
}

// After "导出数据失败！" for a full sheet: why, and what holds every row.
void explainFullSheet(const ui::Services& services, const ExportSheet& sheet) {
    const std::string text =
        sheet.isXlsx()
            ? "一个 .xlsx 工作表最多容纳 1048575 行数据（另有一行列名），其余的行没有导出。"
            : "一个 .xls 工作表最多容纳 65535 行数据（另有一行列名），其余的行没有导出。"
              "请重新导出，文件名以 .xlsx 结尾：.xlsx 工作簿能容纳全部的行。";
    showInformation(services, text);
}

// Adds the rows of the query to the workbook, one sheet row per database
// row, calling `written` with the number of rows written after each. False
// after "导出数据失败！" when the workbook refuses a row; the rows before it
// are then in the file.
bool writeRows(const ui::Services& services, ExportSheet& sheet, library::TableRows& rows,
               const std::function<void(int)>& written) {
    std::vector<std::string> values;
    for (int i = 1; rows.next(values); ++i) {
        if (!sheet.append(values)) {
            showError(services, std::string(kExportFailed));
            if (sheet.full()) {
                explainFullSheet(services, sheet);
            }
            sheet.close();
            return false;
        }
        written(i);
    }
    return true;
}

// Closes the query and the workbook, which writes the rows to the file.
// False after a message when the query stopped before its last row (damage
// met midway), the workbook then dropped so the earlier file stays, or after
// "导出数据失败！" when the file could not be written: an export is never
// reported done without all its rows on disk.
bool finishWorkbook(const ui::Services& services, ExportSheet& sheet, library::TableRows& rows,
                    std::string_view queryFailed) {
    if (!rows.finishedCleanly()) {
        const std::optional<std::string> cause =
            queryFailureCause(services.database.connection, queryFailed);
        rows.close();
        sheet.discard();
        if (cause) {
            services.screen.messageBox({*cause});
        } else {
            showError(services, std::string(kExportFailed));
        }
        return false;
    }
    rows.close();
    if (!sheet.close()) {
        showError(services, std::string(kExportFailed));
        return false;
    }
    return true;
}

// The book and reader exports after their query has run and counted: the
// progress bar runs from 0 to the row count, and goes back to 0 after the
// success message. `queryFailed` names the query when it stops midway.
void exportCountedRows(const ui::Services& services, ExportSheet& sheet, library::TableRows& rows,
                       std::string_view queryFailed) {
    ui::Control& bar = services.mainWindow().control(names::kExportProgress);
    bar.setMaximum(rows.count());
    showPosition(services, bar, 0);
    const bool written =
        writeRows(services, sheet, rows, [&](int done) { showPosition(services, bar, done); });
    if (!written || !finishWorkbook(services, sheet, rows, queryFailed)) {
        rows.close();
        return;
    }
    if (!saidDamaged(services)) {
        showInformation(services, "恭喜您，导出成功！");
    }
    showPosition(services, bar, 0);
}

} // namespace

void exportBooks(const ui::Services& services, ExchangeState& state) {
    const auto path = chooseExportPath(services);
    if (!path) {
        return;
    }
    showText(services, services.mainWindow().control(names::kBookExportPath), *path);
    ExportSheet sheet(state.workbook);
    if (!startWorkbook(services, sheet, library::TemplateKind::Books, *path)) {
        return;
    }
    store::Database& database = services.database;
    if (!database.counter.isOpen()) {
        database.counter.open(database.connection, library::kBookTable);
    }
    // A query can also fail at its first step (a table dropped by another program).
    library::TableRows rows(database, library::WholeTable::Books);
    if (!rows.ran()) {
        const std::string said =
            queryFailureCause(database.connection, "查询全部图书失败").value_or("查询全部图书失败");
        rows.close();
        services.screen.messageBox({said});
        return;
    }
    if (rows.count() == 0) {
        rows.close();
        showInformation(services, "没有图书数据可导出！");
        return;
    }
    exportCountedRows(services, sheet, rows, "查询全部图书失败");
}

void exportReaders(const ui::Services& services, ExchangeState& state) {
    const auto path = chooseExportPath(services);
    if (!path) {
        return;
    }
    showText(services, services.mainWindow().control(names::kReaderExportPath), *path);
    ExportSheet sheet(state.workbook);
    if (!startWorkbook(services, sheet, library::TemplateKind::Readers, *path)) {
        return;
    }
    store::Database& database = services.database;
    library::TableRows rows(database, library::WholeTable::Readers);
    if (rows.count() == 0) {
        const auto cause =
            rows.ran() ? std::nullopt : queryFailureCause(database.connection, "查询全部读者失败");
        rows.close();
        if (cause) {
            services.screen.messageBox({*cause});
        } else {
            showInformation(services, "没有读者数据可导出！");
        }
        return;
    }
    exportCountedRows(services, sheet, rows, "查询全部读者失败");
}

void exportLoanReport(const ui::Services& services, ExchangeState& state) {
    ui::Window& main = services.mainWindow();
    ui::Control& label = main.control(names::kReportExportProgress);
    showText(services, label, "准备导出数据……");
    const auto path = chooseExportPath(services);
    if (!path) {
        return;
    }
    showText(services, main.control(names::kReaderExportPath), *path);
    ExportSheet sheet(state.workbook);
    if (!startWorkbook(services, sheet, library::TemplateKind::LoanReport, *path)) {
        return;
    }
    store::Database& database = services.database;
    const std::optional<store::Value> year = library::reportYear(main.control(names::kYear).text());
    // No query at all for a year that is not one.
    std::optional<library::TableRows> rows;
    if (year) {
        rows.emplace(database, *year);
    }
    if (!rows || !rows->ran()) {
        const auto cause =
            year ? queryFailureCause(database.connection, "查询借阅报表失败") : std::nullopt;
        rows.reset();
        showText(services, label, cause ? "操作失败！" : "操作失败，可能没有借阅数据！");
        if (cause) {
            services.screen.messageBox({*cause});
        }
        return;
    }
    const std::string ofCount = "/" + std::to_string(rows->count());
    const bool written = writeRows(services, sheet, *rows, [&](int done) {
        showText(services, label, std::to_string(done) + ofCount);
    });
    if (!written || !finishWorkbook(services, sheet, *rows, "查询借阅报表失败")) {
        if (written && !rows->finishedCleanly()) {
            showText(services, label, "操作失败！"); // as when the query fails at once
        }
        rows->close();
        return;
    }
    if (saidDamaged(services)) {
        showText(services, label, "导出结束，但数据库已损坏！");
        return;
    }
    showText(services, label, "导出借阅报表成功！");
}

} // namespace chengxi::exchange
