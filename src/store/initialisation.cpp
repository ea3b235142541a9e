#include "store/initialisation.h"

#include "store/connection.h"
#include "store/schema.h"

namespace chengxi::store {

std::vector<std::string> initialiseDatabase(Connection& connection,
                                            const std::string& databasePath) {
    std::vector<std::string> messages;
    for (const BuiltInTable& table : kBuiltInTables) {
        switch (ensureTable(connection, databasePath, table.name, table.columns, table.sizes)) {
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
        }
        messages.emplace_back(table.failureMessage);
    }
    if (connection.isReadOnly()) {
        messages.emplace_back(kReadOnlyMessage);
    }
    return messages;
}

} // namespace chengxi::store
