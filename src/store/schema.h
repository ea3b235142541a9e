#pragma once

#include <span>
#include <string>
#include <string_view>

namespace chengxi::store {

class Connection;

// One column for create table: the type code picks the declared type.
struct FieldDescription {
    std::string name;
    int typeCode = 10;
    int size = 0;
};

// The column definition "name TYPE" for a field description: type code 10, 8
// and 12 give TEXT(size) (TEXT without a size), 1 to 4 and 7 INTEGER, 5 and 6
// NUMERIC, 11 BLOB, -1 INTEGER PRIMARY KEY, 0 the name alone, others NONE.
std::string columnDefinition(const FieldDescription& field);

// True when a table or view of that name exists, the name compared the way
// SQLite compares identifiers (ASCII letters without regard to case, every
// other byte exactly). An empty name gives false.
bool tableExists(Connection& connection, std::string_view table);
// Executes "CREATE TABLE name (definition, ...)". False when a definition
// exceeds 200 bytes or all of them 2000 bytes (as code page 936), when a field
// has no name, or on any SQLite error.
bool createTable(Connection& connection, std::string_view table,
                 std::span<const FieldDescription> fields);
// Executes "DELETE FROM name"; false when not open or the name is empty.
bool deleteAllRows(Connection& connection, std::string_view table);

enum class EnsureOutcome {
    Present,       // the table was there and is taken as it is
    Created,       // the table was missing and has been created
    OpenFailed,    // the database could not be opened
    ListsDisagree, // the name and size lists differ in length
    CreateFailed,  // the CREATE TABLE statement failed
    Busy,          // another program kept the database locked
    Damaged,       // the file is damaged, or no database at all
};

// Opens `databasePath` (allowing creation) if the connection is closed, then
// makes sure the table exists. `names` and `sizes` are ","-separated lists;
// a size is the integer value of its item. An existing table is taken as it
// is, whatever its columns.
EnsureOutcome ensureTable(Connection& connection, const std::string& databasePath,
                          std::string_view table, std::string_view names, std::string_view sizes);

} // namespace chengxi::store
