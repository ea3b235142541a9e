#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace chengxi::store {
struct Database;
class Connection;
} // namespace chengxi::store

// One book's row of 图书数据 as the book window and the withdrawal read and
// write it: every column, in the table's order.
namespace chengxi::catalog {

inline constexpr std::size_t kBookColumns = 16;
using BookValues = std::array<std::string, kBookColumns>;
// Where the columns the result list shows stand in a row.
inline constexpr std::size_t kNumberAt = 1, kTitleAt = 5, kAuthorAt = 6, kShelfAt = 13;

struct BookRow {
    std::int64_t rowId = 0;
    BookValues values;
};

// The first row holding the number; nothing when there is none. False in
// `read` when the table could not be read.
std::optional<BookRow> findBook(store::Database& database, const std::string& number, bool& read);

// How many rows hold the number; nothing when the table could not be read.
std::optional<int> countBooks(store::Database& database, const std::string& number);

// The card 借出数据 lends the book to, empty while it is in (no row, or "0");
// nothing when the table could not be read.
std::optional<std::string> lentTo(store::Database& database, const std::string& number);

// Writes name every column, so the row matches the table's order whatever
// other builds assume.
bool insertBook(store::Connection& connection, const BookValues& values);
// True only when exactly that row was changed.
bool updateBook(store::Connection& connection, std::int64_t rowId, const BookValues& values);
bool deleteBook(store::Connection& connection, std::int64_t rowId);

// What the librarian is told when 图书数据 or 借出数据 could not be read,
// or when a change was not stored (`what`: the change), with the cause
// where it is a lock or damage.
std::string readFailureMessage(const store::Database& database);
std::string writeFailureMessage(const store::Database& database, const std::string& what);

} // namespace chengxi::catalog
