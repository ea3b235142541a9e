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

// The column definition "name TYPE" for a field description.
std::string columnDefinition(const FieldDescription& field);

// True when a table or view of that name exists (ASCII case ignored).
bool tableExists(Connection& connection, std::string_view table);
bool createTable(Connection& connection, std::string_view table,
                 std::span<const FieldDescription> fields);
bool deleteAllRows(Connection& connection, std::string_view table);

enum class EnsureOutcome {
    Present,      // the table was there and is taken as it is
    Created,      // the table was missing and has been created
    OpenFailed,   // the database could not be opened
    ListsDisagree, // the name and size lists differ in length
    CreateFailed, // the CREATE TABLE statement failed
};

// Opens `databasePath` (allowing creation) if the connection is closed, then
// makes sure the table exists. `names` and `sizes` are ","-separated lists.
EnsureOutcome ensureTable(Connection& connection, const std::string& databasePath,
                          std::string_view table, std::string_view names, std::string_view sizes);

} // namespace chengxi::store
