#pragma once

#include <span>
#include <string>
#include <string_view>

struct sqlite3_stmt;

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

    // Closes any earlier query, then prepares the first statement of `sql`
    // with `values` bound to its parameters. The count is discarded.
    bool open(Connection& connection, std::string_view sql,
              std::span<const std::string> values = {});
    // Counts every result row and rewinds; true unless the query fails at once.
    bool toFirst();
    int rowCount() const { return rowCount_; }
    // Steps once; true when a row is now current.
    bool nextRow();
    bool atEnd() const { return atEnd_; }
    // The named column of the current row (ASCII case ignored, a double-byte
    // character compared whole, first match wins). NULL, an unknown column or
    // no current row read as empty text. `rowAvailable` receives whether a row
    // is current.
    std::string read(std::string_view column, bool* rowAvailable = nullptr) const;
    // By position, for tools that show whole rows.
    int columnCount() const;
    std::string read(int column) const;
    std::string columnName(int column) const;
    void close();
    bool isOpen() const { return statement_ != nullptr; }

private:
    sqlite3_stmt* statement_ = nullptr;
    int rowCount_ = 0;
    bool atEnd_ = true;
    bool onRow_ = false;
};

} // namespace chengxi::store
