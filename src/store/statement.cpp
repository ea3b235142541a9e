#include "store/statement.h"

#include "text/cp936.h"

#include <climits>
#include <sqlite3.h>

namespace chengxi::store::detail {
namespace {

bool isBlankOrSemicolon(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v' || c == ';';
}

// True when nothing but blanks, semicolons and comments is left.
bool holdsNoStatement(sqlite3* db, std::string_view rest) {
    while (!rest.empty() && isBlankOrSemicolon(rest.front())) {
        rest.remove_prefix(1);
    }
    if (rest.empty()) {
        return true;
    }
    // Something else follows: only a comment is acceptable, and SQLite's own
    // tokenizer is the one to tell.
    sqlite3_stmt* next = nullptr;
    const int rc =
        sqlite3_prepare_v2(db, rest.data(), static_cast<int>(rest.size()), &next, nullptr);
    const StatementHandle owned(next);
    return rc == SQLITE_OK && next == nullptr;
}

} // namespace

void StatementFinalizer::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

StatementHandle prepareSingle(sqlite3* db, std::string_view sql) {
    if (db == nullptr || sql.empty() || sql.size() >= INT_MAX ||
        sql.find('\0') != std::string_view::npos) {
        return nullptr;
    }
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, &tail);
    StatementHandle statement(raw);
    if (rc != SQLITE_OK || statement == nullptr) {
        return nullptr;
    }
    const std::size_t used =
        tail != nullptr ? static_cast<std::size_t>(tail - sql.data()) : sql.size();
    if (!holdsNoStatement(db, sql.substr(used))) {
        return nullptr;
    }
    return statement;
}

bool encodeValues(std::span<const Value> values, std::vector<EncodedValue>& encoded) {
    encoded.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EncodedValue& target = encoded[i];
        target.isText = values[i].isText();
        if (!target.isText) {
            target.integer = values[i].integer();
            continue;
        }
        // Into the buffer of the last statement's value, so that a caller
        // reusing `encoded` converts row after row without allocating.
        target.bytes.clear();
        if (!text::appendCp936(values[i].text(), target.bytes).empty()) {
            return false;
        }
    }
    return true;
}

bool bindValues(sqlite3_stmt* statement, std::span<const EncodedValue> encoded, bool copy) {
    if (sqlite3_bind_parameter_count(statement) != static_cast<int>(encoded.size())) {
        return false;
    }
    const sqlite3_destructor_type lifetime = copy ? SQLITE_TRANSIENT : SQLITE_STATIC;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const int parameter = static_cast<int>(i + 1);
        const EncodedValue& value = encoded[i];
        // data() is never null, so an empty text binds as empty text, not NULL.
        const int rc = value.isText ? sqlite3_bind_text64(statement, parameter, value.bytes.data(),
                                                          value.bytes.size(), lifetime, SQLITE_UTF8)
                                    : sqlite3_bind_int64(statement, parameter, value.integer);
        if (rc != SQLITE_OK) {
            return false;
        }
    }
    return true;
}

std::string columnText(sqlite3_stmt* statement, int column) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    if (bytes == nullptr) {
        return {};
    }
    const int size = sqlite3_column_bytes(statement, column);
    return text::fromCp936(std::string_view(bytes, static_cast<std::size_t>(size)));
}

std::string columnName(sqlite3_stmt* statement, int column) {
    const char* name = sqlite3_column_name(statement, column);
    return name != nullptr ? text::fromCp936(name) : std::string();
}

} // namespace chengxi::store::detail
