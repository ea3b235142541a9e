#include "store/record_set.h"

#include "store/column_name.h"
#include "store/connection.h"
#include "text/cp936.h"

#include <sqlite3.h>

namespace chengxi::store {

RecordSet::~RecordSet() = default;

bool RecordSet::open(Connection& connection, std::string_view sql,
                     std::span<const std::string> values) {
    close();
    if (!connection.isOpen() || sql.empty()) {
        return false;
    }
    const text::Cp936Bytes bytes = text::toCp936(sql);
    std::vector<std::string> encoded;
    if (!bytes.ok() || !detail::encodeValues(values, encoded)) {
        return false;
    }
    detail::StatementHandle statement = detail::prepareSingle(connection.handle(), bytes.bytes);
    if (statement == nullptr || !detail::bindTexts(statement.get(), encoded, true)) {
        return false;
    }
    statement_ = std::move(statement);
    return true;
}

bool RecordSet::toFirst() {
    onRow_ = false;
    exhausted_ = false;
    rowCount_ = 0;
    atEnd_ = true;
    if (statement_ == nullptr) {
        return false;
    }
    sqlite3_reset(statement_.get());
    int rc = SQLITE_ROW;
    int count = 0;
    while ((rc = sqlite3_step(statement_.get())) == SQLITE_ROW) {
        ++count;
    }
    sqlite3_reset(statement_.get());
    rowCount_ = count;
    atEnd_ = count == 0;
    return count > 0 || rc == SQLITE_DONE;
}

bool RecordSet::nextRow() {
    if (statement_ == nullptr || exhausted_) {
        onRow_ = false;
        atEnd_ = true;
        return false;
    }
    // Never step past the end: SQLite would quietly start the query over.
    onRow_ = sqlite3_step(statement_.get()) == SQLITE_ROW;
    if (!onRow_) {
        exhausted_ = true;
        atEnd_ = true;
    }
    return onRow_;
}

int RecordSet::findColumn(std::string_view column) const {
    for (const auto& [name, position] : lookups_) {
        if (name == column) {
            return position;
        }
    }
    int found = -1;
    const text::Cp936Bytes requested = text::toCp936(column);
    if (requested.ok()) {
        const int count = sqlite3_column_count(statement_.get());
        for (int i = 0; i < count; ++i) {
            const char* name = sqlite3_column_name(statement_.get(), i);
            if (name != nullptr && detail::sameColumnName(requested.bytes, name)) {
                found = i;
                break;
            }
        }
    }
    lookups_.emplace_back(std::string(column), found);
    return found;
}

std::string RecordSet::read(std::string_view column, bool* rowAvailable) const {
    if (rowAvailable != nullptr) {
        *rowAvailable = onRow_;
    }
    if (!onRow_) {
        return {};
    }
    const int position = findColumn(column);
    return position >= 0 ? detail::columnText(statement_.get(), position) : std::string();
}

int RecordSet::columnCount() const {
    return statement_ != nullptr ? sqlite3_column_count(statement_.get()) : 0;
}

std::string RecordSet::read(int column) const {
    if (!onRow_ || column < 0 || column >= columnCount()) {
        return {};
    }
    return detail::columnText(statement_.get(), column);
}

std::string RecordSet::columnName(int column) const {
    if (column < 0 || column >= columnCount()) {
        return {};
    }
    return detail::columnName(statement_.get(), column);
}

void RecordSet::close() {
    statement_.reset();
    lookups_.clear();
    rowCount_ = 0;
    atEnd_ = true;
    onRow_ = false;
    exhausted_ = false;
}

} // namespace chengxi::store
