#include "catalog/catalogue.h"
#include "catalog/lent_books.h"
#include "library/books.h"
#include "store/database.h"
#include "store/failure_cause.h"
#include "text/date_time.h"
#include "ui/controls/window.h"
#include "ui/forms/control_names.h"
#include "ui/screen.h"
#include "ui/services.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace chengxi::catalog {
namespace {

namespace names = ui::names::main;

std::optional<library::BookSearch> searchOf(std::string_view mode) {
    if (mode == kByTitle) {
        return library::BookSearch::ByTitle;
    }
    if (mode == kByBookNumber) {
        return library::BookSearch::ByBookNumber;
    }
    if (mode == kByBarcode) {
        return library::BookSearch::ByBarcode;
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

    // Appends the book under `number` and shows it. It goes in as stored:
    // of a search of the whole catalogue only the rows shown are decoded.
    void appendBook(const library::StoredListedBook& book, std::int64_t number) {
        const std::string shown = std::to_string(number);
        const auto [title, author, bookNumber, shelf] = book;
        const std::array<std::string_view, 5> cells{shown, title, author, bookNumber, shelf};
        list_.appendEncodedRow(cells);
        services_.screen.repaintNow(window_, results_);
    }

    // Lists every row of the counted listing, numbered from `first`.
    int showRows(library::BookListing& listing, std::int64_t first) {
        const int count = listing.count();
        showStatus("正在显示符合条件的图书");
        for (int i = 0; i < count; ++i) {
            const std::optional<library::StoredListedBook> book = listing.next();
            if (!book) {
                break;
            }
            appendBook(*book, first + i);
        }
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
    const std::optional<int> total = library::countCatalogue(services.database);
    state.bookTotal = total.value_or(0);
    return total ? std::string() : std::string(store::failureCause(services.database.connection));
}

// One page of the catalogue into the list, its query closed before the
// list's lent books are looked up. False when the query could not be
// prepared; `read` says whether it ran to its end.
bool showPage(ResultPage& page, store::Database& database, const CatalogueState& state,
              bool& read) {
    library::BookListing listing(database);
    if (!listing.preparePage(state.pageSize, state.pageOffset)) {
        return false;
    }
    read = listing.run();
    page.showRows(listing, std::int64_t{state.pageOffset} + 1);
    return true;
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

    if (mode == kBrowseAll) {
        bool read = false;
        if (showPage(page, database, state, read)) {
            markLentBooks(services);
        }
        const std::string_view readFailure =
            read ? std::string_view() : store::failureCause(database.connection);
        if (!page.showFailure(readFailure) && !page.showFailure(countFailure)) {
            page.showStatus("浏览全部图书，当前图书总数：" + std::to_string(state.bookTotal));
        }
        return;
    }

    const std::optional<library::BookSearch> search = searchOf(mode);
    if (!search) {
        return;
    }
    std::optional<int> found;
    text::DateTime counted;
    {
        library::BookListing listing(database);
        // The time taken is measured up to the counting, before the rows are shown.
        if (listing.prepareSearch(*search, std::string(searchText)) && listing.run()) {
            counted = services.clock.now();
            found = page.showRows(listing, 1);
        }
    }
    if (!found) {
        page.showFailure(store::failureCause(database.connection));
        return;
    }
    markLentBooks(services);
    if (page.showFailure(countFailure)) {
        return;
    }
    page.showStatus("查询结束，耗时" + std::to_string(elapsedSeconds(started, counted)) +
                    "秒，搜索到" + std::to_string(*found) + "个记录，当前图书总数：" +
                    std::to_string(state.bookTotal));
}

} // namespace chengxi::catalog
