#pragma once

#include <string>

namespace chengxi::store {

class Connection;

enum class BackupOutcome {
    Made,
    // Another program held the database locked for longer than a statement
    // would wait.
    DatabaseBusy,
    // The database is damaged: a copy of it would be as damaged, and would
    // pass for a sound backup to restore.
    DatabaseDamaged,
    // Anything else: the folder cannot be written, the disk is full, ...
    Failed,
};

// Copies the open database into a new database file at `targetPath` (UTF-8)
// with SQLite's online backup, so the copy is consistent even while the
// connection is in use. The copy is made under a temporary name for the user
// alone, flushed to the disk and then given the target's name; when a file
// of that name exists, even one appearing meanwhile, it takes the first free
// name of "stem(2).ext", "stem(3).ext", ... instead: a backup never replaces
// a file. Made only when this copy completed. A database found damaged
// (now, or earlier by the connection) is not copied.
BackupOutcome backupDatabase(Connection& connection, const std::string& targetPath);

// Copies the database file as it lies on disk, under the same naming rule: a
// damaged database, which the online backup refuses to copy, kept aside
// before a backup replaces it. The connection must hold no write transaction.
BackupOutcome copyDatabaseFile(const std::string& databasePath, const std::string& targetPath);

} // namespace chengxi::store
