#include "exchange/exports.h"

#include "exchange/export_sheet.h"
#include "exchange/export_target.h"
#include "exchange/workbook_steps.h"
#include "library/templates.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "store/transaction.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <charconv>
#include <cstdint>
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

// Adds `count` rows of the open record set to the workbook, one sheet row per
// database row, the template's columns read by name, calling `written` with
// the number of rows written after each. False after "导出数据失败！" when
// the workbook refuses a row; the rows before it are then in the file.
bool writeRows(const ui::Services& services, ExportSheet& sheet, store::RecordSet& records,
               library::TemplateKind kind, int count, const std::function<void(int)>& written) {
    const auto columns = library::templateHeaders(kind);
    std::vector<std::string> values(columns.size());
    for (int i = 1; i <= count; ++i) {
        records.nextRow();
        for (std::size_t c = 0; c < columns.size(); ++c) {
            values[c] = records.read(columns[c]);
        }
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
// False after "导出数据失败！" when the file could not be written: an export
// is never reported done without its rows on disk.
bool finishWorkbook(const ui::Services& services, ExportSheet& sheet, store::RecordSet& records) {
    records.close();
    if (!sheet.close()) {
        showError(services, std::string(kExportFailed));
        return false;
    }
    return true;
}

// The book and reader exports after their query has run and counted: the
// progress bar runs from 0 to the row count, and goes back to 0 after the
// success message.
void exportCountedRows(const ui::Services& services, ExportSheet& sheet, library::TemplateKind kind,
                       int count) {
    store::Database& database = services.database;
    ui::Control& bar = services.mainWindow().control(names::kExportProgress);
    bar.setMaximum(count);
    showPosition(services, bar, 0);
    // Only reads run inside it; it is committed whatever the outcome.
    store::Transaction transaction(database.connection);
    const bool written = writeRows(services, sheet, database.records, kind, count,
                                   [&](int rows) { showPosition(services, bar, rows); });
    if (!written || !finishWorkbook(services, sheet, database.records)) {
        database.records.close();
        transaction.commit();
        return;
    }
    transaction.commit();
    if (!saidDamaged(services)) {
        showInformation(services, "恭喜您，导出成功！");
    }
    showPosition(services, bar, 0);
}

} // namespace

std::optional<store::Value> yearParameter(std::string_view yearText) {
    if (yearText.empty() || yearText.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    std::int64_t year = 0;
    const auto [end, error] =
        std::from_chars(yearText.data(), yearText.data() + yearText.size(), year);
    if (error != std::errc{} || end != yearText.data() + yearText.size()) {
        // Beyond any integer: matches no stored year, as the number did.
        return std::optional<store::Value>(std::in_place, yearText);
    }
    return std::optional<store::Value>(std::in_place, year);
}

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
        database.counter.open(database.connection, "图书数据");
    }
    store::RecordSet& records = database.records;
    // A query can also fail at its first step (a table dropped by another program).
    if (!records.open(database.connection, "select * from 图书数据") || !records.toFirst()) {
        records.close();
        services.screen.messageBox({queryFailureCause(database.connection, "查询全部图书失败")
                                        .value_or("查询全部图书失败")});
        return;
    }
    const int count = records.rowCount();
    if (count == 0) {
        records.close();
        showInformation(services, "没有图书数据可导出！");
        return;
    }
    exportCountedRows(services, sheet, library::TemplateKind::Books, count);
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
    store::RecordSet& records = database.records;
    const bool queried =
        records.open(database.connection, "select * from 读者数据") && records.toFirst();
    const int count = queried ? records.rowCount() : 0;
    if (count == 0) {
        records.close();
        const auto cause =
            queried ? std::nullopt : queryFailureCause(database.connection, "查询全部读者失败");
        if (cause) {
            services.screen.messageBox({*cause});
        } else {
            showInformation(services, "没有读者数据可导出！");
        }
        return;
    }
    exportCountedRows(services, sheet, library::TemplateKind::Readers, count);
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
    store::RecordSet& records = database.records;
    const std::optional<store::Value> year = yearParameter(main.control(names::kYear).text());
    if (!year ||
        !records.open(database.connection, "select * from 借阅报表 where 年份=?", {*year}) ||
        !records.toFirst()) {
        records.close();
        const auto cause =
            year ? queryFailureCause(database.connection, "查询借阅报表失败") : std::nullopt;
        showText(services, label, cause ? "操作失败！" : "操作失败，可能没有借阅数据！");
        if (cause) {
            services.screen.messageBox({*cause});
        }
        return;
    }
    const int count = records.rowCount();
    store::Transaction transaction(database.connection);
    const std::string ofCount = "/" + std::to_string(count);
    const bool written =
        writeRows(services, sheet, records, library::TemplateKind::LoanReport, count,
                  [&](int rows) { showText(services, label, std::to_string(rows) + ofCount); });
    if (!written || !finishWorkbook(services, sheet, records)) {
        records.close();
        transaction.commit();
        return;
    }
    transaction.commit();
    if (saidDamaged(services)) {
        showText(services, label, "导出结束，但数据库已损坏！");
        return;
    }
    showText(services, label, "导出借阅报表成功！");
}

} // namespace chengxi::exchange
