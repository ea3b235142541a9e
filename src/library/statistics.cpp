#include "library/statistics.h"

#include "library/query_guard.h"
#include "library/schema.h"
#include "store/database.h"
#include "text/list_column.h"

#include <initializer_list>

namespace chengxi::library {
namespace {

// "select a, b from table": the names as the schema spells them.
std::string selectFrom(std::string_view table, std::initializer_list<std::string_view> columns) {
    std::string sql = "select ";
    for (const std::string_view column : columns) {
        if (sql.size() > 7) {
            sql += ", ";
        }
        sql += column;
    }
    return sql.append(" from ").append(table);
}

} // namespace

std::optional<LendStateByBook> readLendStateByBook(store::Database& database) {
    QueryGuard query(database.records);
    if (!query.run(database.connection,
                   selectFrom(kLendStateTable, {lend_state::kBookNumber, lend_state::kCard}))) {
        return std::nullopt;
    }
    LendStateByBook state;
    state.reserve(static_cast<std::size_t>(query->rowCount()));
    while (query->nextRow()) {
        state.try_emplace(query->read(0), query->read(1));
    }
    return state;
}

std::optional<std::vector<BorrowingReader>> readBorrowingReaders(store::Database& database,
                                                                 std::string_view group) {
    std::string sql =
        selectFrom(kReaderTable, {reader::kGroup, reader::kName, reader::kCard,
                                  reader::kBookNumbers, reader::kBorrowDates, reader::kTitles});
    sql.append(" where ").append(reader::kBookNumbers).append(" <> '");
    sql.append(text::kEmptyList).append("'");
    if (!group.empty()) {
        sql.append(" and ").append(reader::kGroup).append(" = ?");
    }
    QueryGuard query(database.records);
    const bool ran = group.empty() ? query.run(database.connection, sql)
                                   : query.run(database.connection, sql, {store::Value(group)});
    if (!ran) {
        return std::nullopt;
    }
    std::vector<BorrowingReader> readers;
    readers.reserve(static_cast<std::size_t>(query->rowCount()));
    while (query->nextRow()) {
        readers.push_back({.group = query->read(0),
                           .name = query->read(1),
                           .card = query->read(2),
                           .bookNumbers = query->read(3),
                           .borrowDates = query->read(4),
                           .titles = query->read(5)});
    }
    return readers;
}

std::optional<std::vector<std::string>> readClasses(store::Database& database) {
    const std::string sql = "select distinct " + std::string(reader::kGroup) + " from " +
                            std::string(kReaderTable) + " order by " + std::string(reader::kGroup);
    QueryGuard query(database.records);
    if (!query.run(database.connection, sql)) {
        return std::nullopt;
    }
    std::vector<std::string> classes;
    while (query->nextRow()) {
        classes.push_back(query->read(0));
    }
    return classes;
}

bool readLoansOfYear(store::Database& database, int year,
                     const std::function<void(const YearLoan&)>& take) {
    std::string sql = selectFrom(kReportTable, {report::kTitle, report::kBorrower,
                                                report::kBorrowedOn, report::kReturnedOn});
    sql.append(" where ").append(report::kYear).append("=?");
    QueryGuard query(database.records);
    if (!query.run(database.connection, sql, {store::Value(year)})) {
        return false;
    }
    const auto loansInYear = static_cast<std::size_t>(query->rowCount());
    while (query->nextRow()) {
        take({.titleBytes = query->bytes(0),
              .borrowerBytes = query->bytes(1),
              .borrowedOn = query->read(2),
              .returnedOn = query->read(3),
              .loansInYear = loansInYear});
    }
    return true;
}

bool readReturnStamps(store::Database& database, int year,
                      const std::function<void(const std::string&)>& take) {
    // A stamp starts with the year's digits, so a range of texts finds them.
    std::string sql = selectFrom(kReportTable, {report::kReturnedOn});
    sql.append(" where ").append(report::kReturnedOn).append(" >= ? and ");
    sql.append(report::kReturnedOn).append(" < ?");
    QueryGuard query(database.records);
    if (!query.run(database.connection, sql,
                   {store::Value(std::to_string(year)), store::Value(std::to_string(year + 1))})) {
        return false;
    }
    while (query->nextRow()) {
        take(query->read(0));
    }
    return true;
}

std::optional<std::vector<ReaderName>> readReaderNames(store::Database& database) {
    QueryGuard query(database.records);
    if (!query.run(database.connection,
                   selectFrom(kReaderTable, {reader::kGroup, reader::kName, reader::kCard}))) {
        return std::nullopt;
    }
    std::vector<ReaderName> readers;
    readers.reserve(static_cast<std::size_t>(query->rowCount()));
    while (query->nextRow()) {
        readers.push_back({.groupBytes = std::string(query->bytes(0)),
                           .nameBytes = std::string(query->bytes(1)),
                           .card = query->read(2)});
    }
    return readers;
}

} // namespace chengxi::library
