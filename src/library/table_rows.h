#pragma once

#include "library/query_guard.h"
#include "store/transaction.h"
#include "store/value.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::store {
struct Database;
}

namespace chengxi::library {

enum class WholeTable { Books, Readers };

// A table read for an export: its rows are counted first, then read one by
// one straight from the query, in the columns of the export's template,
// without a copy of them all. The count and the rows are read in one read
// transaction, so another program cannot change the table between them. The
// shared record set is closed and the transaction ended when this ends.
class TableRows {
public:
    // Every row of the table: "select * from 图书数据" or "… 读者数据".
    TableRows(store::Database& database, WholeTable table);
    // The report rows of a year (a value from reportYear), the year left out.
    TableRows(store::Database& database, const store::Value& reportYear);
    TableRows(const TableRows&) = delete;
    TableRows& operator=(const TableRows&) = delete;

    // False when the count or the query failed; its cause is noted on the
    // connection.
    [[nodiscard]] bool ran() const { return ran_; }
    int count() const { return ran_ ? count_ : 0; }
    // The next row's cells into `values`, one per column; false past the
    // last row, and when the query stopped before it.
    bool next(std::vector<std::string>& values);
    // After next() returned false: true when every counted row was read and
    // the query ended there, false when it stopped early (damage met midway,
    // the cause noted on the connection): the rows read are then only a part.
    bool finishedCleanly() const { return finishedCleanly_; }
    // Ends the query and the transaction before the guard would, so a
    // workbook closed next does not wait behind them. The transaction's end
    // is noted on the connection: a failure's cause is read before this.
    void close();

private:
    bool start(store::Connection& connection, std::string_view sql,
               std::span<const store::Value> values);

    // Declared first, ended last: the query closes before the transaction.
    store::Transaction transaction_;
    QueryGuard query_;
    std::span<const std::string_view> columns_;
    std::vector<int> positions_; // of columns_ in the query, -1 for none
    bool ran_ = false;
    int count_ = 0;
    int read_ = 0;
    bool ended_ = false;
    bool finishedCleanly_ = false;
};

} // namespace chengxi::library
