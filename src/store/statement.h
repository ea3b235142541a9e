#pragma once

// Prepared-statement helpers shared by the access objects. Every text handed
// to these is already code page 936 bytes.

#include "store/value.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace chengxi::store::detail {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const;
};
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Prepares the one statement of `sql`. Null on an SQLite error, on a text that
// holds no statement, and on a text that holds a second statement after the
// first (blanks, semicolons and comments may follow it).
StatementHandle prepareSingle(sqlite3* db, std::string_view sql);

// A parameter value ready for SQLite: texts as code page 936 bytes.
struct EncodedValue {
    bool isText = true;
    std::string bytes;
    std::int64_t integer = 0;
};

// Encodes every value; false when a text cannot be encoded as code page 936.
bool encodeValues(std::span<const Value> values, std::vector<EncodedValue>& encoded);

// Binds encoded values to the statement's parameters in order. False when the
// statement has a different number of parameters. With `copy` false the
// texts must outlive the statement's use of them.
bool bindValues(sqlite3_stmt* statement, std::span<const EncodedValue> encoded, bool copy);

// A column of the current row as UTF-8; NULL reads as empty text.
std::string columnText(sqlite3_stmt* statement, int column);

// A result column's name as UTF-8.
std::string columnName(sqlite3_stmt* statement, int column);

} // namespace chengxi::store::detail
