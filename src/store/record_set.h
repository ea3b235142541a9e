#pragma once

#include "store/statement.h"
#include "store/value.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace chengxi::store {

class Connection;

// The shared record set: one prepared query at a time, counted before it is
// read. Texts come back as UTF-8.
class RecordSet {
public:
    RecordSet() = default;
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    // Closes any earlier query, then prepares the statement of `sql` with
    // `values` bound to its parameters. The count is discarded. False on a
    // closed connection, a second statement in the text, a text or value that
    // code page 936 cannot hold, a number of values other than the number of
    // parameters, or an SQLite error.
    bool open(Connection& connection, std::string_view sql, std::span<const Value> values = {});
    bool open(Connection& connection, std::string_view sql, std::initializer_list<Value> values) {
        return open(connection, sql, std::span<const Value>(values.begin(), values.size()));
    }
    bool open(Connection& connection, std::string_view sql, std::span<const std::string> texts);
    // Counts every result row and rewinds; true when the query ran to its
    // end. A query that fails on the way (another program's lock, a damaged
    // page) is false with no rows: part of a result must not pass for all of
    // it. The end flag is set when the count is 0. The rows are kept as they
    // are counted, so the query runs once and the rows read afterwards are the
    // rows counted. The outcome is noted on the connection (busy, damage).
    bool toFirst();
    // The same, keeping only the cells of `kept` (positions from columnOf):
    // a list that shows a few columns of a wide table neither copies nor
    // converts the others. The other columns read as empty text.
    bool toFirst(std::span<const int> kept);
    int rowCount() const { return rowCount_; }
    // Steps once; true when a row is now current. Once the result is exhausted
    // it stays so until the next toFirst.
    bool nextRow();
    bool atEnd() const { return atEnd_; }
    // True when a step of a walk without toFirst met an error (another
    // program's lock, a damaged page) instead of the end of the rows: the
    // rows read so far are then only part of the result.
    bool walkFailed() const { return walkFailed_; }
    // The named column of the current row (ASCII case ignored, a double-byte
    // character compared whole, first match wins). NULL, an unknown column or
    // no current row read as empty text. `rowAvailable` receives whether a row
    // is current.
    std::string read(std::string_view column, bool* rowAvailable = nullptr) const;
    // The position of the named column (matched as read matches it), -1 when
    // the query has none: looked up once, then read by position row by row.
    int columnOf(std::string_view column) const;
    // By position: for tools that show whole rows, and for callers that
    // found the position once with columnOf().
    int columnCount() const;
    std::string read(int column) const;
    // The same cell as stored, in code page 936, for callers that count or
    // compare many texts and convert only the few they show; valid until the
    // next step.
    std::string_view bytes(int column) const;
    // bytes() of several columns at once, in the order of `columns`, for a
    // walk that hands whole rows on.
    void bytes(std::span<const int> columns, std::span<std::string_view> cells) const;
    std::string columnName(int column) const;
    void close();
    bool isOpen() const { return statement_ != nullptr; }

private:
    // The current row's cell, code page 936 bytes; nothing for NULL.
    std::string_view cell(int column) const;
    void forgetRows();

    detail::StatementHandle statement_;
    // The connection the query runs on, told how each step ended; it outlives
    // the query (the access objects close the query first).
    Connection* connection_ = nullptr;
    int rowCount_ = 0;
    bool atEnd_ = true;
    bool onRow_ = false;
    bool exhausted_ = false;
    bool walkFailed_ = false;
    // The rows taken by toFirst, the kept cells in one text: the cell of
    // column c in row r runs from offsets_[r * kept + keptAt_[c]] to the next
    // offset. Without toFirst the statement is stepped directly.
    bool buffered_ = false;
    int columns_ = 0;
    std::vector<int> kept_;   // the kept columns, in the order they are kept
    std::vector<int> keptAt_; // of each column, its place in kept_; -1: not kept
    std::string cells_;
    std::vector<std::uint32_t> offsets_;
    int current_ = -1;
    // Column positions already looked up by name for this query (-1: none),
    // so reading many rows converts each requested name once.
    mutable std::vector<std::pair<std::string, int>> lookups_;
};

} // namespace chengxi::store
