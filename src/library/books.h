#pragma once

#include "library/query_guard.h"
#include "library/schema.h"
#include "text/text_set.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

namespace chengxi::store {
struct Database;
class Connection;
} // namespace chengxi::store

// The catalogue's queries on 图书数据, and what the book pages ask 借出数据
// about the books they show.
namespace chengxi::library {

// Every column of a book's row, in the table's order.
using BookValues = std::array<std::string, book::kColumns.size()>;
// Where the columns the result list shows stand in a row.
inline constexpr std::size_t kNumberAt = 1, kTitleAt = 5, kAuthorAt = 6, kShelfAt = 13;
static_assert(book::kColumns[kNumberAt] == book::kNumber &&
              book::kColumns[kTitleAt] == book::kTitle &&
              book::kColumns[kAuthorAt] == book::kAuthor &&
              book::kColumns[kShelfAt] == book::kShelf);

struct Book {
    std::int64_t rowId = 0;
    BookValues values;
};

// The first row holding the number (nothing inside when there is none);
// nothing when the table could not be read.
[[nodiscard]] std::optional<std::optional<Book>> findBook(store::Database& database,
                                                          const std::string& number);

// How many rows hold the number; nothing when the table could not be read.
[[nodiscard]] std::optional<int> countBooks(store::Database& database, const std::string& number);

// The rows of the whole catalogue, counted by the table counter; nothing
// when they could not be counted.
[[nodiscard]] std::optional<int> countCatalogue(store::Database& database);

// The card 借出数据 lends the book to, empty while it is in (no row, or "0");
// nothing when the table could not be read.
[[nodiscard]] std::optional<std::string> lentTo(store::Database& database,
                                                const std::string& number);

// The card of the book's first 借出数据 row, as the lend reads it ("0" or
// empty while the book is in); nothing when the table could not be read.
[[nodiscard]] std::optional<std::string> firstLendCard(store::Database& database,
                                                       const std::string& number);

// Up to this many book numbers are asked about in one statement (well under
// SQLite's limit of bound parameters); a longer list reads every lent book once.
inline constexpr std::size_t kNumbersPerQuery = 400;

// The books 借出数据 lends out, of `numbers` (at most kNumbersPerQuery);
// nothing when the table could not be read or the list is longer.
[[nodiscard]] std::optional<std::unordered_set<std::string>>
lentOutOf(store::Database& database, const std::vector<std::string>& numbers);

// The numbers of every lent book as stored (code page 936), for a list too
// long to ask about by number, matched against its stored cells without
// decoding them; nothing when the table could not be read.
[[nodiscard]] std::optional<text::TextSet> storedLentNumbers(store::Database& database);

// Writes name every column, so the row matches the table's order whatever
// other builds assume.
[[nodiscard]] bool insertBook(store::Connection& connection, const BookValues& values);

// An imported row: the 16 values in the table's column order, bound as they
// come (the import adds many rows, each through the one cached statement).
[[nodiscard]] bool addImportedBook(store::Connection& connection,
                                   std::span<const store::Value> values);
// True only when exactly that row was changed.
[[nodiscard]] bool updateBook(store::Connection& connection, std::int64_t rowId,
                              const BookValues& values);
[[nodiscard]] bool deleteBook(store::Connection& connection, std::int64_t rowId);
// The book's 借出数据 rows, left behind once no copy of the number is kept.
[[nodiscard]] bool deleteLendRows(store::Connection& connection, const std::string& number);

// A book as the result list shows it, as the database stores it (code page
// 936): title, author, number, shelf.
using StoredListedBook = std::array<std::string_view, 4>;

enum class BookSearch { ByTitle, ByBookNumber, ByBarcode };

// A listing of books on the shared record set, read row by row so the list
// shows each as it comes; the query is closed when the listing leaves scope.
class BookListing {
public:
    explicit BookListing(store::Database& database);

    // Prepares one page of the catalogue, in the table's order, or every hit
    // of a search (a title is matched on whole characters). False when the
    // statement could not be prepared.
    [[nodiscard]] bool preparePage(int size, int offset);
    [[nodiscard]] bool prepareSearch(BookSearch by, const std::string& text);
    // Runs the query to its end, counting its rows; false when it failed.
    [[nodiscard]] bool run();
    int count();
    // The next row, valid until the one after; nothing after the last.
    [[nodiscard]] std::optional<StoredListedBook> next();

private:
    store::Database& database_;
    QueryGuard query_;
    // Where the shown columns stand in the result: title, author, number,
    // shelf, found once per query.
    std::array<int, 4> shown_{-1, -1, -1, -1};
};

} // namespace chengxi::library
