#include "exchange/book_import.h"

#include "backups/backups.h"
#include "exchange/left_out_rows.h"
#include "exchange/workbook_steps.h"
#include "library/books.h"
#include "library/templates.h"
#include "store/database.h"
#include "store/transaction.h"
#include "store/value.h"
#include "text/date_time.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"
#include "xls/file_format.h"
#include "xls/first_rows.h"
#include "xls/sheet_text.h"
#include "xls/workbook_file.h"
#include "xls/xlsx_reader.h"

#include <string>
#include <vector>

namespace chengxi::exchange {
namespace {

namespace names = ui::names::main;

constexpr int kPreviewRows = 2;
constexpr int kPreviewColumns = 26;
constexpr std::string_view kNothingImported = "没有导入任何图书。";
constexpr std::string_view kUndone = "写入数据库失败，本次导入的图书已全部撤销。";

using PreviewCells = std::vector<std::vector<std::string>>;

// The same from an .xlsx: its sheet streams, so only as far as row 2 is read.
xls::Result<PreviewCells> xlsxPreviewCells(std::string_view path) {
    auto package = xls::XlsxWorkbook::open(path);
    if (!package) {
        return xls::fail(package.error());
    }
    PreviewCells rows(kPreviewRows, std::vector<std::string>(kPreviewColumns));
    const xls::Status read = package->readRows(0, [&](const xls::XlsxRow& row) {
        if (row.index >= kPreviewRows) {
            return false;
        }
        for (const xls::XlsxCell& cell : row.cells) {
            if (cell.column < kPreviewColumns) {
                rows[row.index][cell.column] = cell.text;
            }
        }
        return row.index + 1 < kPreviewRows;
    });
    if (!read) {
        return xls::fail(read.error());
    }
    return rows;
}

// Cells A to Z of rows 1 and 2 of the first worksheet, by the value-to-text
// rule; the reason when the file is not a workbook that can be read.
xls::Result<PreviewCells> previewCells(std::string_view path) {
    if (const auto format = xls::workbookFormatOfFile(path);
        format && *format == xls::WorkbookFormat::Xlsx) {
        return xlsxPreviewCells(path);
    }
    // Only the rows shown are parsed: a large catalogue is not read whole
    // just to show two of its rows.
    const auto firstRows = xls::readFirstRows(path, kPreviewRows);
    if (!firstRows) {
        return xls::fail(firstRows.error());
    }
    const xls::Workbook* book = &firstRows->book;
    std::vector<std::vector<std::string>> rows(kPreviewRows);
    for (int row = 0; row < kPreviewRows; ++row) {
        for (int column = 0; column < kPreviewColumns; ++column) {
            const std::string reference = static_cast<char>('a' + column) + std::to_string(row + 1);
            auto cell = xls::readCellText(*book, reference);
            if (!cell) {
                return xls::fail(cell.error());
            }
            rows[row].push_back(std::move(cell.value()));
        }
    }
    return rows;
}

} // namespace

void chooseBookFile(const ui::Services& services) {
    const auto path = chooseFile(services, DialogMode::Open, services.programFolder);
    if (!path) {
        return;
    }
    ui::Window& main = services.mainWindow();
    main.control(names::kBookFilePath).setText(*path);
    // A new preview replaces the last one, and an unreadable file leaves none.
    ui::ListView& preview = main.control(names::kPreviewList).listView();
    preview.clearRows();
    const auto cells = previewCells(*path);
    if (!cells) {
        showError(services, "无法预览所选文件：" + cells.error() + "。");
        return;
    }
    for (const std::vector<std::string>& cellsOfRow : cells.value()) {
        const int row = preview.appendRow();
        for (int column = 0; column < kPreviewColumns; ++column) {
            preview.setCell(row, column, cellsOfRow[column]);
        }
    }
}

void importBooksClick(const ui::Services& services, ExchangeState& state,
                      catalog::CatalogueState& catalogue) {
    if (services.mainWindow().control(names::kBookFilePath).text().empty()) {
        services.screen.messageBox({"未选择文件", "提示"});
        return;
    }
    const ui::Message question{.text = std::string(kBookImportQuestion),
                               .title = "警告",
                               .buttons = ui::Buttons::OkCancel,
                               .defaultButton = ui::Answer::Cancel};
    if (services.screen.messageBox(question) != ui::Answer::Ok) {
        return;
    }
    // The catalogue as it was stays in the backup; without one nothing is imported.
    if (const backups::BackupResult saved = backups::backup(services); !saved.made) {
        services.screen.messageBox({std::string(saved.failure) + "图书没有导入。", "提示"});
        return;
    }
    importBooks(services, state, catalogue);
}

void importBooks(const ui::Services& services, ExchangeState& state,
                 catalog::CatalogueState& catalogue) {
    ui::Window& main = services.mainWindow();
    ui::Control& status = main.control(names::kImportStatus);
    catalogue.bookTotal = 0;
    int rowCounter = 1;
    showText(services, status, "开始连接数据库...");
    const text::DateTime start = services.clock.now();

    xls::WorkbookConnection& workbook = state.workbook;
    // The file the page shows: the shared dialog may have chosen another
    // since, for an export or the other import.
    if (!connectWorkbook(services, workbook, main.control(names::kBookFilePath).text(),
                         kNothingImported)) {
        return;
    }
    const ClosedAtEnd closeWorkbook(workbook);
    showText(services, status, "正在查询图书编号不为空的内容");
    const xls::QueryHandle query =
        workbook.openQuery("select * from [Sheet1$]  where [图书编号] is not NULL");
    showText(services, status, "查询结束");
    if (!query) {
        if (workbook.fileUnreadable()) {
            showUnreadableWorkbook(services, workbook.lastError(), kNothingImported);
        } else {
            showError(services, "查询失败!");
        }
        return;
    }
    workbook.moveFirst(query);
    store::Connection& database = services.database.connection;
    store::Transaction transaction(database);
    if (!transaction.began()) {
        showError(services, "无法写入数据库，没有导入任何图书。");
        return;
    }
    showText(services, status, "开始事务");

    const auto columns = library::templateHeaders(library::TemplateKind::Books);
    // Filled in place row after row, so no text is allocated on its way.
    std::vector<store::Value> values(columns.size(), store::Value(std::string()));
    LeftOutRows leftOut(columns);
    bool stored = true;
    const xls::Status read = workbook.forEachRow(query, [&] {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            workbook.readInto(query, columns[i], values[i].emptiedText());
        }
        if (!library::addImportedBook(database, values)) {
            // A value the code page lacks stores nothing and loses only its
            // row; anything else means the database cannot take the import.
            const std::optional<UnstorableCharacter> character = firstUnstorableCharacter(values);
            if (!character) {
                stored = false;
                return false;
            }
            leftOut.add(workbook, query, *character);
        }
        showText(services, status, std::to_string(rowCounter));
        ++rowCounter;
        return true;
    });
    if (!stored) {
        showError(services, std::string(kUndone));
        return;
    }
    // A sheet found damaged halfway takes back the rows read before.
    if (!read) {
        showUnreadableWorkbook(services, read.error(), "本次导入的图书已全部撤销。");
        return;
    }
    workbook.closeQueries();
    if (!transaction.commit()) {
        showError(services, std::string(kUndone));
        return;
    }
    showText(services, status, "事务结束");
    const std::int64_t seconds = text::secondsBetween(start, services.clock.now());
    showText(services, status, "导入图书数据结束，耗时 " + std::to_string(seconds) + " 秒");
    leftOut.report(services, workbook.workbookPath());
}

} // namespace chengxi::exchange
