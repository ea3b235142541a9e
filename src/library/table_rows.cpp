#include "library/table_rows.h"

#include "library/report.h"
#include "library/schema.h"
#include "store/database.h"

#include <string>

namespace chengxi::library {
namespace {

std::string wholeTableQuery(WholeTable table) {
    return "select * from " + std::string(table == WholeTable::Books ? kBookTable : kReaderTable);
}

} // namespace

TableRows::TableRows(store::Database& database, WholeTable table)
    : query_(database.records),
      columns_(table == WholeTable::Books ? std::span<const std::string_view>(book::kColumns)
                                          : std::span<const std::string_view>(reader::kColumns)) {
    ran_ = query_.run(database.connection, wholeTableQuery(table));
}

TableRows::TableRows(store::Database& database, const store::Value& reportYear)
    : query_(database.records), columns_(report::kShownColumns) {
    ran_ = query_.run(database.connection, kReportOfYearQuery, {reportYear});
}

int TableRows::count() const {
    return ran_ ? query_->rowCount() : 0;
}

bool TableRows::next(std::vector<std::string>& values) {
    if (!ran_ || !query_->nextRow()) {
        return false;
    }
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
}

} // namespace chengxi::library
