#pragma once

#include "store/record_set.h"
#include "store/value.h"

#include <initializer_list>
#include <string_view>

namespace chengxi::store {
class Connection;
}

namespace chengxi::library {

// A query on the shared record set that is closed when its reader leaves
// scope, whichever way it leaves: a query left open would hold the one
// connection's read lock and disturb the next caller's query.
class QueryGuard {
public:
    explicit QueryGuard(store::RecordSet& records) : records_(records) {}
    ~QueryGuard() { records_.close(); }
    QueryGuard(const QueryGuard&) = delete;
    QueryGuard& operator=(const QueryGuard&) = delete;

    // Opens the query and runs it to its end (the rows are counted and kept);
    // false when either fails, with nothing current.
    [[nodiscard]] bool run(store::Connection& connection, std::string_view sql,
                           std::initializer_list<store::Value> values = {}) {
        return records_.open(connection, sql, values) && records_.toFirst();
    }

    store::RecordSet& records() { return records_; }
    store::RecordSet* operator->() { return &records_; }

private:
    store::RecordSet& records_;
};

} // namespace chengxi::library
