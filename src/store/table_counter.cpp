#include "store/table_counter.h"

#include "store/connection.h"
#include "store/statement.h"
#include "text/cp936.h"

#include <sqlite3.h>

namespace chengxi::store {

bool TableCounter::open(Connection& connection, std::string_view table) {
    close();
    if (!connection.isOpen() || table.empty()) {
        return false;
    }
    const text::Cp936Bytes name = text::toCp936(table);
    if (!name.ok()) {
        return false;
    }
    sqlite3* db = connection.handle();

    const detail::StatementHandle columns =
        detail::prepareSingle(db, "SELECT * FROM " + name.bytes + " LIMIT 0");
    if (columns == nullptr) {
        connection.noteResult(sqlite3_errcode(db));
        return false;
    }
    if (const int rc = sqlite3_step(columns.get()); rc != SQLITE_DONE) {
        connection.noteResult(rc);
        return false;
    }
    std::vector<std::string> columnNames;
    const int columnCount = sqlite3_column_count(columns.get());
    for (int i = 0; i < columnCount; ++i) {
        columnNames.push_back(detail::columnName(columns.get(), i));
    }

    const detail::StatementHandle rows =
        detail::prepareSingle(db, "SELECT _ROWID_ FROM " + name.bytes + " ORDER BY _ROWID_ ");
    if (rows == nullptr) {
        connection.noteResult(sqlite3_errcode(db));
        return false;
    }
    int count = 0;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(rows.get())) == SQLITE_ROW) {
        ++count;
    }
    connection.noteResult(rc);
    if (rc != SQLITE_DONE) {
        return false;
    }

    open_ = true;
    table_ = std::string(table);
    rowCount_ = count;
    columns_ = std::move(columnNames);
    return true;
}

void TableCounter::close() {
    open_ = false;
    table_.clear();
    rowCount_ = 0;
    columns_.clear();
}

} // namespace chengxi::store
