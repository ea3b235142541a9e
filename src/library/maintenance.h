#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::store {
struct Database;
class Connection;
class RecordSet;
} // namespace chengxi::store

// What the data page does to whole tables: the clearings, the queries and
// mends of the data check, and the probes of a database as a whole.
namespace chengxi::library {

// Deletes every row of one of the four tables.
[[nodiscard]] bool clearTable(store::Connection& connection, std::string_view table);

// True when the database at `path` holds no row in any of the four tables:
// a library nobody has used. Unknown (not openable) counts as used.
[[nodiscard]] bool isEmptyLibrary(const std::string& path);

// Lets go of the shared query and the table counter, so nothing holds the
// file while it is replaced under the connection.
void releaseQueries(store::Database& database);

// A reader's row as the data check reads it: the three lists as stored.
struct CheckedReader {
    std::string group;
    std::string name;
    std::string card;
    std::string bookNumbers;
    std::string borrowDates;
    std::string titles;
};

struct CheckedLendRow {
    std::string bookNumber;
    std::string card;
};

// A 借阅报表 row without a return date.
struct OpenReportRow {
    std::int64_t rowId = 0;
    std::string bookNumber;
    std::string borrower;
    std::string borrowedOn;
};

// Each table in the order of its rows; nothing when it could not be read whole.
[[nodiscard]] std::optional<std::vector<CheckedReader>>
readersToCheck(store::Connection& connection, store::RecordSet& records);
[[nodiscard]] std::optional<std::vector<CheckedLendRow>>
lendRowsToCheck(store::Connection& connection, store::RecordSet& records);
[[nodiscard]] std::optional<std::vector<OpenReportRow>>
openReportRows(store::Connection& connection, store::RecordSet& records);

// The mends of the data check, each one statement or two:
// the book's 借出数据 row names the card (a row is added when there is none);
[[nodiscard]] bool lendRowToCard(store::Connection& connection, const std::string& book,
                                 const std::string& card);
// the book's 借出数据 row that names the card says "0" (back);
[[nodiscard]] bool lendRowBack(store::Connection& connection, const std::string& book,
                               const std::string& card);
// the report row gets its return date.
[[nodiscard]] bool stampReportReturn(store::Connection& connection, std::int64_t rowId,
                                     const std::string& returnedOn);

} // namespace chengxi::library
