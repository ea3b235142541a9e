#pragma once

#include "library/readers.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::store {
class Connection;
struct Database;
} // namespace chengxi::store

// The lend state (借出数据), what the lending desk reads of the catalogue, and
// the writes of a lend and a return to the reader's lists and the lend state.
namespace chengxi::library {

// One catalogue row of a book and who holds it.
struct BookCopy {
    std::string number; // 图书编号
    std::string holder; // 借书证号 in 借出数据; empty or "0" while on the shelf

    bool lent() const;
};

// The reader's three list columns as they are written back.
struct LoanLists {
    std::string bookNumbers;
    std::string borrowDates;
    std::string titles;
};

// The first catalogue row numbered `code`, with its holder read as the
// lend-state lookup reads it: the first 借出数据 row of the number.
[[nodiscard]] std::optional<std::vector<BookCopy>> copiesWithNumber(store::Database& database,
                                                                    std::string_view code);

// Every catalogue row whose 条形码 is `code`, in catalogue order, each with
// its holder as above.
[[nodiscard]] std::optional<std::vector<BookCopy>> copiesWithBarcode(store::Database& database,
                                                                     std::string_view code);

// The 书名 of every catalogue row numbered `number`.
[[nodiscard]] std::optional<std::vector<std::string>> titlesWithNumber(store::Database& database,
                                                                       std::string_view number);

// The 借书证号 of every 借出数据 row of the book; "0" is a book on the shelf,
// no row a book never lent. std::nullopt when the query failed, also part
// way: a book lent out must not pass for one never lent.
[[nodiscard]] std::optional<std::vector<std::string>> lendStateHolders(store::Database& database,
                                                                       std::string_view book);

// Every card number the lend state says holds a book, each once.
[[nodiscard]] std::optional<std::vector<std::string>> cardsHoldingBooks(store::Database& database);

// Writes the reader's three list columns back to the row the reader was read
// from, and only while that row still carries the reader's card: another row
// with the same card keeps its own loans, and a row that has taken the place
// of a deleted reader is left alone. False when the statement fails.
[[nodiscard]] bool writeLoanLists(store::Connection& connection, const Reader& reader,
                                  LoanLists lists);

// The book's first lend: a new 借出数据 row.
[[nodiscard]] bool addLendState(store::Connection& connection, std::string_view book,
                                std::string_view card);

// The book's 借出数据 rows name the card as its holder.
[[nodiscard]] bool setLendHolder(store::Connection& connection, std::string_view book,
                                 std::string_view card);

// The book is back on the shelf ("0"), when the card holds it: a book lent
// again to someone else since stays with that reader.
[[nodiscard]] bool putBackOnShelf(store::Connection& connection, std::string_view book,
                                  std::string_view card);

} // namespace chengxi::library
