#pragma once

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
// they show.
struct YearLoan {
    std::string titleBytes;
    std::string borrowerBytes;
    std::string borrowedOn; // as stored
    std::string returnedOn; // empty while the book is out
};
// The report's loans of `year`, its year column compared as a number, as the
// report page compares it.
[[nodiscard]] std::optional<std::vector<YearLoan>> readLoansOfYear(store::Database& database,
                                                                   int year);

// The report's return stamps that start with the digits of `year`,
// whichever year the book was lent in.
[[nodiscard]] std::optional<std::vector<std::string>> readReturnStamps(store::Database& database,
                                                                       int year);

// A reader as a report's borrower names him: class and name in code page 936
// (the borrower is the class, one blank, the name), and his card.
struct ReaderName {
    std::string groupBytes;
    std::string nameBytes;
    std::string card;
};
[[nodiscard]] std::optional<std::vector<ReaderName>> readReaderNames(store::Database& database);

} // namespace chengxi::library
