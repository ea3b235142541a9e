#include "library/maintenance.h"

#include "library/query_guard.h"
#include "library/schema.h"
#include "store/connection.h"
#include "store/database.h"
#include "store/schema.h"

namespace chengxi::library {

bool clearTable(store::Connection& connection, std::string_view table) {
    return store::deleteAllRows(connection, table);
}

bool isEmptyLibrary(const std::string& path) {
    store::Connection connection;
    if (!connection.open(path, false)) {
        return false;
    }
    store::RecordSet records;
    for (const TableDefinition& table : kTables) {
        QueryGuard query(records);
        if (!query->open(connection, "select count(*) from " + std::string(table.name))) {
            continue; // a table not made yet holds no rows either
        }
        if (!query->toFirst() || !query->nextRow() || query->read(0) != "0") {
            return false;
        }
    }
    return true;
}

void releaseQueries(store::Database& database) {
    database.records.close();
    database.counter.close();
}

std::optional<std::vector<CheckedReader>> readersToCheck(store::Connection& connection,
                                                         store::RecordSet& records) {
    QueryGuard query(records);
    if (!query.run(connection, "SELECT 班别, 姓名, 借书证号, 图书编号串, 日期编号串, 书名串 FROM "
                               "读者数据 ORDER BY rowid")) {
        return std::nullopt;
    }
    std::vector<CheckedReader> readers;
    readers.reserve(static_cast<std::size_t>(query->rowCount()));
    while (query->nextRow()) {
        readers.push_back({.group = query->read(reader::kGroup),
                           .name = query->read(reader::kName),
                           .card = query->read(reader::kCard),
                           .bookNumbers = query->read(reader::kBookNumbers),
                           .borrowDates = query->read(reader::kBorrowDates),
                           .titles = query->read(reader::kTitles)});
    }
    return readers;
}

std::optional<std::vector<CheckedLendRow>> lendRowsToCheck(store::Connection& connection,
                                                           store::RecordSet& records) {
    QueryGuard query(records);
    if (!query.run(connection, "SELECT 图书编号, 借书证号 FROM 借出数据 ORDER BY rowid")) {
        return std::nullopt;
    }
    std::vector<CheckedLendRow> rows;
    rows.reserve(static_cast<std::size_t>(query->rowCount()));
    while (query->nextRow()) {
        rows.push_back({.bookNumber = query->read(lend_state::kBookNumber),
                        .card = query->read(lend_state::kCard)});
    }
    return rows;
}

std::optional<std::vector<OpenReportRow>> openReportRows(store::Connection& connection,
                                                         store::RecordSet& records) {
    QueryGuard query(records);
    if (!query.run(connection, "SELECT rowid, 图书编号, 借阅者, 借书日期 FROM 借阅报表 WHERE "
                               "还书日期 IS NULL OR 还书日期 = '' ORDER BY rowid")) {
        return std::nullopt;
    }
    std::vector<OpenReportRow> rows;
    while (query->nextRow()) {
        rows.push_back({.rowId = std::stoll("0" + query->read(0)),
                        .bookNumber = query->read(report::kBookNumber),
                        .borrower = query->read(report::kBorrower),
                        .borrowedOn = query->read(report::kBorrowedOn)});
    }
    return rows;
}

bool lendRowToCard(store::Connection& connection, const std::string& book,
                   const std::string& card) {
    if (!connection.execute("UPDATE 借出数据 SET 借书证号 = ? WHERE 图书编号 = ?", {card, book})) {
        return false;
    }
    return connection.changes() != 0 ||
           connection.execute("INSERT INTO 借出数据 VALUES (?, ?)", {book, card});
}

bool lendRowBack(store::Connection& connection, const std::string& book, const std::string& card) {
    return connection.execute(
        "UPDATE 借出数据 SET 借书证号 = '0' WHERE 图书编号 = ? AND 借书证号 = ?", {book, card});
}

bool stampReportReturn(store::Connection& connection, std::int64_t rowId,
                       const std::string& returnedOn) {
    return connection.execute("UPDATE 借阅报表 SET 还书日期 = ? WHERE rowid = ?",
                              {returnedOn, rowId});
}

} // namespace chengxi::library
