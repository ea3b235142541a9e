#include "catalog/catalogue.h"
#include "catalog/lent_books.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "store/text_functions.h"
#include "text/date_time.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <cstdint>
#include <optional>
#include <string>

namespace chengxi::catalog {
namespace {

namespace names = ui::names::main;

constexpr std::string_view kBooks = "图书数据";

// Values are bound, never pasted in: a quote in a search text is just a
// character, and a title is matched on whole characters (see gbk_contains).
std::optional<std::string> searchStatement(std::string_view mode) {
    if (mode == kByTitle) {
        return "select * from 图书数据 where " + std::string(store::kContainsFunction) +
               "(书名, ?)";
    }
    if (mode == kByBookNumber) {
        return "select * from 图书数据 where 图书编号 = ?";
    }
    if (mode == kByBarcode) {
        return "select * from 图书数据 where 条形码 = ?";
    }
    return std::nullopt;
}

class ResultPage {
public:
    explicit ResultPage(const ui::Services& services)
        : services_(services), window_(services.mainWindow()),
          results_(window_.control(names::kSearchResults)), list_(results_.listView()),
          status_(window_.control(names::kSearchStatus)) {}

    void clear() { list_.clearRows(); }

    void showStatus(std::string text) {
        status_.setText(std::move(text));
        services_.screen.repaintNow(window_, status_);
    }

    // A query or count stopped by another program's lock or by damage says
    // so, rather than letting an empty list or a total of 0 stand for the
    // catalogue. False when there is no such cause to say.
    bool showFailure(std::string_view cause) {
        if (cause.empty()) {
            return false;
        }
        showStatus("读取图书数据失败：" + std::string(cause));
        return true;
    }

    // Appends the current row of the query under `number` and shows it.
    void appendBook(const store::RecordSet& records, std::int64_t number) {
        const int row = list_.appendRow();
        list_.setCell(row, 0, std::to_string(number));
        list_.setCell(row, 1, records.read("书名"));
        list_.setCell(row, 2, records.read("著译者"));
        list_.setCell(row, 3, records.read("图书编号"));
        list_.setCell(row, 4, records.read("书架名称"));
        services_.screen.repaintNow(window_, results_);
    }

    // Lists every row of the counted query, numbered from `first`; closes it.
    int showRows(store::RecordSet& records, std::int64_t first) {
        const int count = records.rowCount();
        showStatus("正在显示符合条件的图书");
        for (int i = 0; i < count && records.nextRow(); ++i) {
            appendBook(records, first + i);
        }
        records.close();
        return count;
    }

private:
    const ui::Services& services_;
    ui::Window& window_;
    ui::Control& results_;
    ui::ListView& list_;
    ui::Control& status_;
};

// Counted once and kept: a listing asks the database only while it is 0.
// What stopped the count when a lock or damage did; empty otherwise.
std::string countBooksIfUnknown(const ui::Services& services, CatalogueState& state) {
    if (state.bookTotal != 0) {
        return {};
    }
    store::Database& database = services.database;
    const bool counted = database.counter.open(database.connection, kBooks);
    state.bookTotal = database.counter.rowCount();
    return counted ? std::string() : std::string(store::failureCause(database.connection));
}

// Whole seconds between two clock readings: half a second added, then
// truncated toward zero.
std::int64_t elapsedSeconds(const text::DateTime& first, const text::DateTime& second) {
    return static_cast<std::int64_t>(static_cast<double>(text::secondsBetween(first, second)) +
                                     0.5);
}

} // namespace

void listBooks(const ui::Services& services, CatalogueState& state, std::string_view searchText) {
    ResultPage page(services);
    page.clear();
    const text::DateTime started = services.clock.now();
    const std::string countFailure = countBooksIfUnknown(services, state);
    const std::string mode = services.mainWindow().control(names::kSearchMode).text();
    store::Database& database = services.database;
    store::RecordSet& records = database.records;

    if (mode == kBrowseAll) {
        bool read = false;
        if (records.open(database.connection, "select * from 图书数据 limit ? offset ?",
                         {state.pageSize, state.pageOffset})) {
            read = records.toFirst();
            page.showRows(records, std::int64_t{state.pageOffset} + 1);
            markLentBooks(services);
        }
        const std::string_view readFailure =
            read ? std::string_view() : store::failureCause(database.connection);
        if (!page.showFailure(readFailure) && !page.showFailure(countFailure)) {
            page.showStatus("浏览全部图书，当前图书总数：" + std::to_string(state.bookTotal));
        }
        return;
    }

    const std::optional<std::string> sql = searchStatement(mode);
    if (!sql) {
        return;
    }
    // The time taken is measured up to the counting, before the rows are shown.
    if (!records.open(database.connection, *sql, {std::string(searchText)}) || !records.toFirst()) {
        records.close();
        page.showFailure(store::failureCause(database.connection));
        return;
    }
    const text::DateTime counted = services.clock.now();
    const int found = page.showRows(records, 1);
    markLentBooks(services);
    if (page.showFailure(countFailure)) {
        return;
    }
    page.showStatus("查询结束，耗时" + std::to_string(elapsedSeconds(started, counted)) +
                    "秒，搜索到" + std::to_string(found) + "个记录，当前图书总数：" +
                    std::to_string(state.bookTotal));
}

} // namespace chengxi::catalog
