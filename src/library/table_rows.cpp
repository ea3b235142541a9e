#include "library/table_rows.h"

#include "library/report.h"
#include "library/schema.h"
#include "store/connection.h"
#include "store/database.h"

#include <charconv>
#include <string>

namespace chengxi::library {
namespace {

std::string wholeTableQuery(WholeTable table) {
    return "select * from " + std::string(table == WholeTable::Books ? kBookTable : kReaderTable);
}

} // namespace

TableRows::TableRows(store::Database& database, WholeTable table)
    : transaction_(database.connection), query_(database.records),
      columns_(table == WholeTable::Books ? std::span<const std::string_view>(book::kColumns)
                                          : std::span<const std::string_view>(reader::kColumns)) {
    ran_ = start(database.connection, wholeTableQuery(table), {});
}

TableRows::TableRows(store::Database& database, const store::Value& reportYear)
    : transaction_(database.connection), query_(database.records), columns_(report::kShownColumns) {
    ran_ = start(database.connection, kReportOfYearQuery, std::span(&reportYear, 1));
}

// Counts the rows of `sql`, then opens it to be stepped row by row.
bool TableRows::start(store::Connection& connection, std::string_view sql,
                      std::span<const store::Value> values) {
    // Outside a transaction the rows read could differ from the rows counted;
    // one the caller holds serves as well.
    if (!transaction_.began() && !connection.inTransaction()) {
        return false;
    }
    const std::string counting = "select count(*) from (" + std::string(sql) + ")";
    if (!query_->open(connection, counting, values) || !query_->toFirst() || !query_->nextRow()) {
        return false;
    }
    const std::string counted = query_->read(0);
    std::from_chars(counted.data(), counted.data() + counted.size(), count_);
    return query_->open(connection, sql, values);
}

bool TableRows::next(std::vector<std::string>& values) {
    if (!ran_ || ended_) {
        return false;
    }
    // One step past the counted rows must find their end: a row more or
    // less than the count shown is not a whole export.
    if (read_ == count_ || !query_->nextRow()) {
        ended_ = true;
        finishedCleanly_ = read_ == count_ && !query_->nextRow() && !query_->walkFailed();
        return false;
    }
    ++read_;
    if (positions_.empty()) {
        // Found by name once; a row's cells are then read by position.
        for (const std::string_view column : columns_) {
            positions_.push_back(query_->columnOf(column));
        }
    }
    values.resize(columns_.size());
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        values[c] = query_->read(positions_[c]);
    }
    return true;
}

void TableRows::close() {
    query_->close();
    transaction_.commit();
}

} // namespace chengxi::library
