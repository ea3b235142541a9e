#include "exchange/reader_import.h"

#include "exchange/left_out_rows.h"
#include "exchange/workbook_steps.h"
#include "library/readers.h"
#include "library/templates.h"
#include "readers/reader_listing.h"
#include "store/database.h"
#include "store/transaction.h"
#include "store/value.h"
#include "text/cp936.h"
#include "text/list_column.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <string>
#include <unordered_set>
#include <vector>

namespace chengxi::exchange {
namespace {

namespace names = ui::names::main;

constexpr std::size_t kCardColumn = 2;
constexpr std::size_t kFirstLoanColumn = 3;
constexpr std::string_view kNotWritten = "写入数据库失败，本次导入的读者已全部撤销。";
constexpr std::string_view kNothingImported = "没有导入任何读者。";

} // namespace

void chooseReaderFile(const ui::Services& services) {
    if (const auto path = chooseFile(services, DialogMode::Open)) {
        services.mainWindow().control(names::kReaderFilePath).setText(*path);
    }
}

void importReadersClick(const ui::Services& services, ExchangeState& state) {
    if (services.mainWindow().control(names::kReaderFilePath).text().empty()) {
        services.screen.messageBox({"未指定读者信息文件", "提示"});
        return;
    }
    importReaders(services, state);
    readers::listReaders(services);
}

void importReaders(const ui::Services& services, ExchangeState& state) {
    int imported = 0;
    xls::WorkbookConnection& workbook = state.workbook;
    // The file the page shows: the shared dialog may have chosen another
    // since, for an export or the other import.
    const std::string& path = services.mainWindow().control(names::kReaderFilePath).text();
    if (!connectWorkbook(services, workbook, path, kNothingImported)) {
        return;
    }
    const ClosedAtEnd closeWorkbook(workbook);
    const xls::QueryHandle query =
        workbook.openQuery("select * from [Sheet1$]  where [借书证号] is not NULL");
    if (!query) {
        if (workbook.fileUnreadable()) {
            showUnreadableWorkbook(services, workbook.lastError(), kNothingImported);
        } else {
            showError(services, "查询失败!");
        }
        return;
    }
    workbook.moveFirst(query);
    store::Database& database = services.database;
    store::Transaction transaction(database.connection);
    // The cards taken are read once instead of looked up once per sheet row:
    // the table has no index, and a scan per row would make an import of a
    // few thousand readers take seconds. Inside the import's transaction
    // nothing else changes the table, so the set stays exact as the import
    // adds to it.
    std::optional<std::unordered_set<std::string>> taken;
    if (transaction.began()) {
        taken = library::cardNumberBytes(database);
    }
    if (!taken) {
        showError(services, "无法读写读者数据，没有导入任何读者。");
        return;
    }
    std::unordered_set<std::string>& cards = *taken;

    const auto columns = library::templateHeaders(library::TemplateKind::Readers);
    std::vector<store::Value> values(columns.size(), store::Value(std::string()));
    LeftOutRows leftOut(columns);
    bool stored = true;
    const xls::Status read = workbook.forEachRow(query, [&] {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            std::string value = workbook.read(query, columns[i]);
            if (i >= kFirstLoanColumn && value.empty()) {
                value = text::kEmptyList;
            }
            values[i] = store::Value(std::move(value));
        }
        // A card taken, or card "0", which would make the reader's books look
        // free: the row is skipped like a card already in the table.
        text::Cp936Bytes card = text::toCp936(values[kCardColumn].text());
        if (card.ok() && (card.bytes == text::kEmptyList || cards.contains(card.bytes))) {
            return true;
        }
        if (!library::addImportedReader(database.connection, values)) {
            const std::optional<UnstorableCharacter> character = firstUnstorableCharacter(values);
            if (!character) {
                stored = false;
                return false;
            }
            leftOut.add(workbook, query, *character);
            return true;
        }
        cards.insert(std::move(card.bytes));
        ++imported;
        return true;
    });
    if (!stored) {
        showError(services, std::string(kNotWritten));
        return;
    }
    // A sheet found damaged halfway takes back the readers read before.
    if (!read) {
        showUnreadableWorkbook(services, read.error(), "本次导入的读者已全部撤销。");
        return;
    }
    workbook.closeQueries();
    if (!transaction.commit()) {
        showError(services, std::string(kNotWritten));
        return;
    }
    services.screen.messageBox({"共导入 " + std::to_string(imported) + " 个读者信息", "提示"});
    leftOut.report(services, workbook.workbookPath());
}

} // namespace chengxi::exchange
