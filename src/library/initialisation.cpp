#include "library/initialisation.h"

#include "library/schema.h"
#include "store/connection.h"
#include "store/integrity.h"
#include "store/schema.h"

namespace chengxi::library {

using store::Connection;
using store::EnsureOutcome;
namespace {

// Said once, instead of every failure the damage causes; from then on the
// connection only reads.
std::vector<std::string> withDamageSaid(Connection& connection, std::vector<std::string> messages) {
    connection.forbidWrites();
    messages.emplace_back(kDamagedMessage);
    return messages;
}

} // namespace

std::vector<std::string> initialiseDatabase(Connection& connection, const std::string& databasePath,
                                            FileCheck fileCheck) {
    std::vector<std::string> messages;
    for (const TableDefinition& table : kTables) {
        switch (store::ensureTable(connection, databasePath, table.name, columnList(table),
                                   table.sizes)) {
        case EnsureOutcome::Present:
        case EnsureOutcome::Created:
            continue;
        case EnsureOutcome::OpenFailed:
            messages.emplace_back(kOpenFailedMessage);
            break;
        case EnsureOutcome::ListsDisagree:
            messages.emplace_back(kListsDisagreeMessage);
            break;
        case EnsureOutcome::CreateFailed:
            break;
        case EnsureOutcome::Busy:
            messages.emplace_back(kDatabaseInUseMessage);
            return messages;
        case EnsureOutcome::Damaged:
            return withDamageSaid(connection, std::move(messages));
        }
        messages.emplace_back(table.failureMessage);
    }
    if (fileCheck == FileCheck::Quick &&
        store::checkIntegrity(connection) == store::Integrity::Damaged) {
        return withDamageSaid(connection, std::move(messages));
    }
    if (connection.isReadOnly()) {
        messages.emplace_back(kReadOnlyMessage);
    }
    return messages;
}

} // namespace chengxi::library
