#pragma once

#include "library/query_guard.h"
#include "store/database.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace chengxi::library {

// Runs the query on the shared record set and turns every row into a value
// with `readRow`; std::nullopt when the query failed, its cause noted on the
// connection.
template <typename ReadRow>
auto readRows(store::Database& database, std::string_view sql,
              std::initializer_list<store::Value> values, ReadRow readRow)
    -> std::optional<std::vector<std::invoke_result_t<ReadRow&, const store::RecordSet&>>> {
    QueryGuard query(database.records);
    if (!query.run(database.connection, sql, values)) {
        return std::nullopt;
    }
    std::vector<std::invoke_result_t<ReadRow&, const store::RecordSet&>> rows;
    rows.reserve(static_cast<std::size_t>(query->rowCount()));
    while (query->nextRow()) {
        rows.push_back(readRow(query.records()));
    }
    return rows;
}

// Runs the query on the shared record set and hands each row's `columns`, as
// stored (code page 936), to `visit` as it is read: nothing is kept. False
// when the query failed, also part way, its cause noted on the connection;
// the rows handed before a failure are then not all of them.
template <std::size_t N, typename Visit>
bool forEachStoredRow(store::Database& database, std::string_view sql,
                      std::initializer_list<store::Value> values,
                      const std::array<std::string_view, N>& columns, Visit&& visit) {
    QueryGuard query(database.records);
    if (!query->open(database.connection, sql, values)) {
        return false;
    }
    std::array<int, N> positions{};
    for (std::size_t c = 0; c < N; ++c) {
        positions[c] = query->columnOf(columns[c]);
    }
    std::array<std::string_view, N> row;
    while (query->nextRow()) {
        query->bytes(positions, row);
        visit(std::as_const(row));
    }
    return !query->walkFailed();
}

// A whole number read as text (a rowid, a count); 0 when it is none.
inline std::int64_t wholeNumber(std::string_view digits) {
    std::int64_t number = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return number;
}

} // namespace chengxi::library
