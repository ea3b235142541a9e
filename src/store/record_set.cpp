#include "store/record_set.h"

#include "store/column_name.h"
#include "store/connection.h"
#include "text/cp936.h"

#include <algorithm>
#include <sqlite3.h>

namespace chengxi::store {

RecordSet::~RecordSet() = default;

bool RecordSet::open(Connection& connection, std::string_view sql, std::span<const Value> values) {
    close();
    connection.noteResult(SQLITE_OK); // no cause of an earlier statement is taken for this one
    if (!connection.isOpen() || sql.empty()) {
        return false;
    }
    const text::Cp936Bytes bytes = text::toCp936(sql);
    std::vector<detail::EncodedValue> encoded;
    if (!bytes.ok() || !detail::encodeValues(values, encoded)) {
        return false;
    }
    detail::StatementHandle statement = detail::prepareSingle(connection.handle(), bytes.bytes);
    if (statement == nullptr) {
        connection.noteResult(sqlite3_errcode(connection.handle()));
        return false;
    }
    if (!detail::bindValues(statement.get(), encoded, true)) {
        return false;
    }
    statement_ = std::move(statement);
    connection_ = &connection;
    columns_ = sqlite3_column_count(statement_.get());
    return true;
}

bool RecordSet::open(Connection& connection, std::string_view sql,
                     std::span<const std::string> texts) {
    const std::vector<Value> values(texts.begin(), texts.end());
    return open(connection, sql, std::span<const Value>(values));
}

void RecordSet::forgetRows() {
    buffered_ = false;
    cells_.clear();
    offsets_.clear();
    current_ = -1;
    rowCount_ = 0;
    atEnd_ = true;
    onRow_ = false;
    exhausted_ = false;
    walkFailed_ = false;
}

bool RecordSet::toFirst() {
    std::vector<int> every(static_cast<std::size_t>(columns_));
    for (int column = 0; column < columns_; ++column) {
        every[static_cast<std::size_t>(column)] = column;
    }
    return toFirst(every);
}

bool RecordSet::toFirst(std::span<const int> kept) {
    forgetRows();
    if (statement_ == nullptr) {
        return false;
    }
    kept_.clear();
    keptAt_.assign(static_cast<std::size_t>(columns_), -1);
    for (const int column : kept) {
        if (column >= 0 && column < columns_ && keptAt_[static_cast<std::size_t>(column)] < 0) {
            keptAt_[static_cast<std::size_t>(column)] = static_cast<int>(kept_.size());
            kept_.push_back(column);
        }
    }
    sqlite3_stmt* statement = statement_.get();
    sqlite3_reset(statement);
    int rc = SQLITE_ROW;
    int count = 0;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        for (const int column : kept_) {
            offsets_.push_back(static_cast<std::uint32_t>(cells_.size()));
            const auto* text =
                reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            if (text != nullptr) {
                cells_.append(text,
                              static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
            }
        }
        ++count;
    }
    offsets_.push_back(static_cast<std::uint32_t>(cells_.size()));
    // Reset at once: the rows are kept, and the statement holds no lock.
    sqlite3_reset(statement);
    connection_->noteResult(rc);
    if (rc != SQLITE_DONE) {
        forgetRows();
        exhausted_ = true; // not stepped again: that would run the query anew
        return false;
    }
    buffered_ = true;
    rowCount_ = count;
    atEnd_ = count == 0;
    exhausted_ = count == 0;
    return true;
}

bool RecordSet::nextRow() {
    if (statement_ == nullptr || exhausted_) {
        onRow_ = false;
        atEnd_ = true;
        return false;
    }
    if (buffered_) {
        onRow_ = ++current_ < rowCount_;
    } else {
        // Never step past the end: SQLite would quietly start the query over.
        const int rc = sqlite3_step(statement_.get());
        connection_->noteResult(rc);
        onRow_ = rc == SQLITE_ROW;
        walkFailed_ = rc != SQLITE_ROW && rc != SQLITE_DONE;
    }
    if (!onRow_) {
        exhausted_ = true;
        atEnd_ = true;
    }
    return onRow_;
}

std::string_view RecordSet::cell(int column) const {
    if (!buffered_) {
        const auto* text =
            reinterpret_cast<const char*>(sqlite3_column_text(statement_.get(), column));
        return text != nullptr
                   ? std::string_view(text, static_cast<std::size_t>(
                                                sqlite3_column_bytes(statement_.get(), column)))
                   : std::string_view();
    }
    const int keptAt = keptAt_[static_cast<std::size_t>(column)];
    if (keptAt < 0) {
        return {};
    }
    const std::size_t index = static_cast<std::size_t>(current_) * kept_.size() + keptAt;
    return std::string_view(cells_).substr(offsets_[index], offsets_[index + 1] - offsets_[index]);
}

int RecordSet::columnOf(std::string_view column) const {
    for (const auto& [name, position] : lookups_) {
        if (name == column) {
            return position;
        }
    }
    int found = -1;
    const text::Cp936Bytes requested = text::toCp936(column);
    if (requested.ok()) {
        for (int i = 0; i < columns_; ++i) {
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
    const int position = columnOf(column);
    return position >= 0 ? text::fromCp936(cell(position)) : std::string();
}

int RecordSet::columnCount() const {
    return statement_ != nullptr ? columns_ : 0;
}

std::string RecordSet::read(int column) const {
    if (!onRow_ || column < 0 || column >= columnCount()) {
        return {};
    }
    return text::fromCp936(cell(column));
}

std::string_view RecordSet::bytes(int column) const {
    if (!onRow_ || column < 0 || column >= columnCount()) {
        return {};
    }
    return cell(column);
}

void RecordSet::bytes(std::span<const int> columns, std::span<std::string_view> cells) const {
    const std::size_t count = std::min(columns.size(), cells.size());
    for (std::size_t c = 0; c < count; ++c) {
        const int column = columns[c];
        cells[c] =
            onRow_ && column >= 0 && column < columnCount() ? cell(column) : std::string_view();
    }
}

std::string RecordSet::columnName(int column) const {
    if (column < 0 || column >= columnCount()) {
        return {};
    }
    return detail::columnName(statement_.get(), column);
}

void RecordSet::close() {
    statement_.reset();
    connection_ = nullptr;
    lookups_.clear();
    columns_ = 0;
    forgetRows();
    // A closed query lets its rows' memory go: an export closes the query
    // before it builds the workbook's file.
    cells_ = std::string();
    offsets_ = std::vector<std::uint32_t>();
}

} // namespace chengxi::store
