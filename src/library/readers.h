#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace chengxi::store {
class Value;
class Connection;
struct Database;
} // namespace chengxi::store

// The rows of 读者数据 and the statements on them.
namespace chengxi::library {

// One row of 读者数据, column by column. Kept apart rather than joined into one
// text, so a comma in a class, name or title cannot shift the fields. A query
// fills the columns its statement selects; the others stay empty.
struct Reader {
    std::string group;       // 班别
    std::string name;        // 姓名
    std::string card;        // 借书证号
    std::string bookNumbers; // 图书编号串
    std::string borrowDates; // 日期编号串
    std::string titles;      // 书名串
    // The row it was read from (0 when not selected): several rows may carry
    // one card number (written elsewhere), and each keeps its own loans.
    std::int64_t rowid = 0;

    friend bool operator==(const Reader&, const Reader&) = default;
};

// A class of the register and how many readers it has.
struct ClassSize {
    std::string group; // empty for readers without a class
    int readers = 0;
};

// Every row carrying the card number (exact, case-sensitive), every column
// and the rowid, in table order.
[[nodiscard]] std::optional<std::vector<Reader>> readersWithCard(store::Database& database,
                                                                 std::string_view card);

// The book-number list of every row carrying the card number: whether the
// card is taken, and whether its readers still hold books.
[[nodiscard]] std::optional<std::vector<std::string>> bookListsWithCard(store::Database& database,
                                                                        std::string_view card);

// The rowid, class and name of every row carrying the card number.
[[nodiscard]] std::optional<std::vector<Reader>> namesWithCard(store::Database& database,
                                                               std::string_view card);

// A reader as stored (code page 936): 班别, 姓名, 借书证号 and 图书编号串.
using StoredReaderRow = std::array<std::string_view, 4>;

// Hands every reader to `visit` in table order, as each is read: nothing is
// kept. The texts are valid during the call. False when the query failed,
// also part way (a lock, damage), its cause noted on the connection: the
// readers handed before are then not all of them and must be dropped.
[[nodiscard]] bool forEachStoredReader(store::Database& database,
                                       const std::function<void(const StoredReaderRow&)>& visit);

// The class, name and card number of every reader, by class and then in
// table order.
[[nodiscard]] std::optional<std::vector<Reader>> cardHolders(store::Database& database);

// Every row with its rowid, class, name, card number, book numbers and
// titles (not the dates): what the year-end promotion decides on.
[[nodiscard]] std::optional<std::vector<Reader>> promotionRows(store::Database& database);

// Every distinct class, a missing one as empty, with its number of readers,
// in the order of the text.
[[nodiscard]] std::optional<std::vector<ClassSize>> classSizes(store::Database& database);

// The card number of every reader as the code page 936 bytes the database
// compares; nothing when the table could not be read.
[[nodiscard]] std::optional<std::unordered_set<std::string>>
cardNumberBytes(store::Database& database);

// An imported row: the six values in the table's column order.
[[nodiscard]] bool addImportedReader(store::Connection& connection,
                                     std::span<const store::Value> values);

// A new reader without loans: "0" in each of the three lists.
[[nodiscard]] bool addReader(store::Connection& connection, std::string_view group,
                             std::string_view name, std::string_view card);

// Deletes every row carrying the card number.
[[nodiscard]] bool deleteReadersWithCard(store::Connection& connection, std::string_view card);

// Gives the row a new class and name; true when exactly that one row changed.
[[nodiscard]] bool renameReader(store::Connection& connection, std::int64_t rowid,
                                std::string_view group, std::string_view name);

// Moves the row to another class.
[[nodiscard]] bool setReaderClass(store::Connection& connection, std::int64_t rowid,
                                  std::string_view group);

// Deletes the one row.
[[nodiscard]] bool deleteReaderRow(store::Connection& connection, std::int64_t rowid);

} // namespace chengxi::library
