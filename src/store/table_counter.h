#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chengxi::store {

class Connection;

// Remembers a table's column names and its row count at the moment it was
// opened; later changes to the table do not refresh the count.
class TableCounter {
public:
    // Forgets any earlier table, then reads the table's column names and
    // counts its rows. False (and nothing remembered) on any failure, whose
    // cause (busy, damage) is noted on the connection.
    bool open(Connection& connection, std::string_view table);
    bool isOpen() const { return open_; }
    int rowCount() const { return open_ ? rowCount_ : 0; }
    const std::vector<std::string>& columns() const { return columns_; }
    const std::string& table() const { return table_; }
    void close();

private:
    bool open_ = false;
    std::string table_;
    int rowCount_ = 0;
    std::vector<std::string> columns_;
};

} // namespace chengxi::store
