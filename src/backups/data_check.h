#pragma once

#include "text/date_time.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace chengxi::store {
class Connection;
class RecordSet;
} // namespace chengxi::store

// The check of the library's data: what the four tables say of one another,
// and the mending of what can be put right without guessing.
namespace chengxi::backups {

enum class FindingKind {
    FileDamaged,        // SQLite's integrity check finds faults
    ListsUneven,        // a reader's three list columns differ in length
    EmptyBookNumber,    // an empty book number in a reader's list
    LoanWithoutLendRow, // a listed loan whose 借出数据 row does not name the reader
    LendRowWithoutLoan, // 借出数据 names a reader whose list lacks the book
    DuplicateCard,      // one card number held by several readers
    OpenReportRow,      // a report row without return date for a book that is back
};

struct Finding {
    FindingKind kind = FindingKind::FileDamaged;
    std::string subject = {}; // the reader or book it concerns, as the librarian reads it
    std::string detail = {};
    // What a mend acts on; a finding without `mendable` is only reported.
    bool mendable = false;
    std::string book = {};
    std::string card = {};
    std::int64_t reportRow = 0; // rowid in 借阅报表
};

struct DataCheck {
    bool complete = false; // false when a table could not be read whole
    std::vector<Finding> findings;
};

// Reads the four tables once; changes nothing.
DataCheck checkLibraryData(store::Connection& connection, store::RecordSet& records);

// What mending a kind does, said to the librarian before asking; empty for
// kinds that are never mended.
std::string mendingOf(FindingKind kind, const text::DateTime& today);

// Mends every mendable finding of the chosen kinds, in the transaction the
// caller holds open. False when a statement fails (the caller rolls back).
bool mendFindings(store::Connection& connection, std::span<const Finding> findings,
                  std::span<const FindingKind> chosen, const text::DateTime& today);

} // namespace chengxi::backups
