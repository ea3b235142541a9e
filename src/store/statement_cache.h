#pragma once

#include "store/statement.h"

#include <cstddef>
#include <list>
#include <string>
#include <string_view>

namespace chengxi::store::detail {

// The connection's recently used statements, keyed by their UTF-8 text, so an
// import repeating one INSERT tens of thousands of times prepares it once and
// never converts its text again. The least recently used one goes first.
class StatementCache {
public:
    explicit StatementCache(std::size_t capacity = 16) : capacity_(capacity) {}

    // The cached statement for `sql`, now the most recently used; null when absent.
    sqlite3_stmt* find(std::string_view sql);
    // Keeps `statement` for `sql`, dropping the least recently used beyond capacity.
    sqlite3_stmt* insert(std::string sql, StatementHandle statement);
    // Finalizes every statement (a connection closes only without any).
    void clear() { entries_.clear(); }
    std::size_t size() const { return entries_.size(); }

private:
    struct Entry {
        std::string sql;
        StatementHandle statement;
    };
    std::size_t capacity_;
    std::list<Entry> entries_; // most recently used first
};

} // namespace chengxi::store::detail
