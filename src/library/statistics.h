#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace chengxi::store {
struct Database;
}

// The reads behind the overdue overview and the loan statistics: typed rows,
// nothing reckoned yet. Each gives nothing when its query could not run to
// the end (another program's lock, damage): part of a table must not pass
// for all of it. The shared record set is closed again either way.
namespace chengxi::library {

// Each lent book's number with the card it is lent to ("0" once returned).
// A book's first row wins, as the lend-state lookup reads it.
using LendStateByBook = std::unordered_map<std::string, std::string>;
[[nodiscard]] std::optional<LendStateByBook> readLendStateByBook(store::Database& database);

// A reader who holds books, his loans as his three list columns store them.
struct BorrowingReader {
    std::string group;
    std::string name;
    std::string card;
    std::string bookNumbers;
    std::string borrowDates;
    std::string titles;
};
// The readers whose book list is not the empty list, of every class when
// `group` is empty.
[[nodiscard]] std::optional<std::vector<BorrowingReader>>
readBorrowingReaders(store::Database& database, std::string_view group);

// The readers' distinct classes, in byte order.
[[nodiscard]] std::optional<std::vector<std::string>> readClasses(store::Database& database);

// One loan of the report. Title and borrower stay in code page 936 as
// stored: the statistics count and compare many and convert only the few
// they show. The views last for the one call that receives them: a year of
// 100,000 loans is counted without a copy of it.
struct YearLoan {
    std::string_view titleBytes;
    std::string_view borrowerBytes;
    std::string borrowedOn; // as stored
    std::string returnedOn; // empty while the book is out
    // How many loans the year holds, the same in every row, so the counts
    // can be grown once at the first.
    std::size_t loansInYear = 0;
};
// Hands each of the report's loans of `year` to `take`, the year column
// compared as a number, as the report page compares it. False when the
// query could not run to its end; nothing was handed over then.
[[nodiscard]] bool readLoansOfYear(store::Database& database, int year,
                                   const std::function<void(const YearLoan&)>& take);

// Hands each of the report's return stamps that start with the digits of
// `year` to `take`, whichever year the book was lent in. False as above.
[[nodiscard]] bool readReturnStamps(store::Database& database, int year,
                                    const std::function<void(const std::string&)>& take);

// A reader as a report's borrower names him: class and name in code page 936
// (the borrower is the class, one blank, the name), and his card.
struct ReaderName {
    std::string groupBytes;
    std::string nameBytes;
    std::string card;
};
[[nodiscard]] std::optional<std::vector<ReaderName>> readReaderNames(store::Database& database);

} // namespace chengxi::library
