#pragma once

#include "library/query_guard.h"
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

// A table read for an export: the query runs and is counted once, then its
// rows are read one by one in the columns of the export's template, without
// a copy of them all. The shared record set is closed when this ends.
class TableRows {
public:
    // Every row of the table: "select * from 图书数据" or "… 读者数据".
    TableRows(store::Database& database, WholeTable table);
    // The report rows of a year (a value from reportYear), the year left out.
    TableRows(store::Database& database, const store::Value& reportYear);
    TableRows(const TableRows&) = delete;
    TableRows& operator=(const TableRows&) = delete;

    // False when the query failed; its cause is noted on the connection.
    [[nodiscard]] bool ran() const { return ran_; }
    int count() const;
    // The next row's cells into `values`, one per column; false past the last row.
    bool next(std::vector<std::string>& values);
    // Ends the query before the guard would, so a workbook closed next
    // does not wait behind it.
    void close();

private:
    QueryGuard query_;
    std::span<const std::string_view> columns_;
    std::vector<int> positions_; // of columns_ in the query, -1 for none
    bool ran_ = false;
};

} // namespace chengxi::library
