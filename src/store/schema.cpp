#include "store/schema.h"

#include "store/connection.h"
#include "store/statement.h"
#include "text/cp936.h"
#include "text/integer_value.h"

#include <sqlite3.h>
#include <vector>

namespace chengxi::store {
namespace {

// Limits of the column definitions, in bytes of their code page 936 text.
constexpr std::size_t kMaxDefinitionBytes = 200;
constexpr std::size_t kMaxDefinitionsBytes = 2000;

std::string typeText(int typeCode, int size) {
    switch (typeCode) {
    case 8:
    case 10:
    case 12:
        return size > 0 ? "TEXT(" + std::to_string(size) + ")" : "TEXT";
    case 1:
    case 2:
    case 3:
    case 4:
    case 7:
        return "INTEGER";
    case 5:
    case 6:
        return "NUMERIC";
    case 11:
        return "BLOB";
    case -1:
        return "INTEGER PRIMARY KEY";
    case 0:
        return {};
    default:
        return "NONE";
    }
}

std::vector<std::string_view> splitAtComma(std::string_view list) {
    std::vector<std::string_view> items;
    for (;;) {
        const std::size_t comma = list.find(',');
        items.push_back(list.substr(0, comma));
        if (comma == std::string_view::npos) {
            return items;
        }
        list.remove_prefix(comma + 1);
    }
}

} // namespace

std::string columnDefinition(const FieldDescription& field) {
    const std::string type = typeText(field.typeCode, field.size);
    return type.empty() ? field.name : field.name + " " + type;
}

bool tableExists(Connection& connection, std::string_view table) {
    if (!connection.isOpen() || table.empty()) {
        return false;
    }
    const text::Cp936Bytes name = text::toCp936(table);
    if (!name.ok()) {
        return false;
    }
    // NOCASE equality is SQLite's own rule for identifiers. LIKE would read
    // the GBK bytes as UTF-8 (so distinct characters can compare equal) and
    // would treat a "_" trail byte as a wildcard.
    const detail::StatementHandle query = detail::prepareSingle(
        connection.handle(), "SELECT name FROM sqlite_master WHERE name = ? COLLATE NOCASE "
                             "AND type IN ('table','view')");
    if (query == nullptr) {
        connection.noteResult(sqlite3_errcode(connection.handle()));
        return false;
    }
    sqlite3_bind_text64(query.get(), 1, name.bytes.data(), name.bytes.size(), SQLITE_STATIC,
                        SQLITE_UTF8);
    const int rc = sqlite3_step(query.get());
    connection.noteResult(rc);
    return rc == SQLITE_ROW;
}

bool createTable(Connection& connection, std::string_view table,
                 std::span<const FieldDescription> fields) {
    std::string definitions;
    std::size_t definitionsBytes = 0;
    for (const FieldDescription& field : fields) {
        if (field.name.empty()) {
            return false;
        }
        const std::string definition = columnDefinition(field);
        const text::Cp936Bytes bytes = text::toCp936(definition);
        if (!bytes.ok() || bytes.bytes.size() > kMaxDefinitionBytes) {
            return false;
        }
        if (!definitions.empty()) {
            definitions += ", ";
            definitionsBytes += 2;
        }
        definitions += definition;
        definitionsBytes += bytes.bytes.size();
        if (definitionsBytes > kMaxDefinitionsBytes) {
            return false;
        }
    }
    return connection.execute("CREATE TABLE " + std::string(table) + " (" + definitions + ")");
}

bool deleteAllRows(Connection& connection, std::string_view table) {
    if (!connection.isOpen() || table.empty()) {
        return false;
    }
    return connection.execute("DELETE FROM " + std::string(table));
}

EnsureOutcome ensureTable(Connection& connection, const std::string& databasePath,
                          std::string_view table, std::string_view names, std::string_view sizes) {
    if (!connection.isOpen() && !connection.open(databasePath, true)) {
        return EnsureOutcome::OpenFailed;
    }
    if (tableExists(connection, table)) {
        return EnsureOutcome::Present;
    }
    if (connection.lastFailureWasBusy()) {
        return EnsureOutcome::Busy;
    }
    if (connection.lastFailureWasDamage()) {
        return EnsureOutcome::Damaged;
    }
    const std::vector<std::string_view> nameItems = splitAtComma(names);
    const std::vector<std::string_view> sizeItems = splitAtComma(sizes);
    if (nameItems.size() != sizeItems.size()) {
        return EnsureOutcome::ListsDisagree;
    }
    std::vector<FieldDescription> fields;
    fields.reserve(nameItems.size());
    for (std::size_t i = 0; i < nameItems.size(); ++i) {
        fields.push_back(
            FieldDescription{std::string(nameItems[i]), 10, text::integerValue(sizeItems[i])});
    }
    if (createTable(connection, table, fields)) {
        return EnsureOutcome::Created;
    }
    if (connection.lastFailureWasBusy()) {
        return EnsureOutcome::Busy;
    }
    return connection.lastFailureWasDamage() ? EnsureOutcome::Damaged : EnsureOutcome::CreateFailed;
}

} // namespace chengxi::store
