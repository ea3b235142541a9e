#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace chengxi::store {

class Connection;

// The four tables of a library's database, and their rows in that order.
using TableNames = std::span<const std::string_view, 4>;
using TableRowCounts = std::array<std::int64_t, 4>;

enum class BackupFileVerdict {
    Sound,
    Missing,     // no such file (any more)
    NoDatabase,  // not an SQLite database at all
    Damaged,     // SQLite's integrity check finds faults, or a page cannot be read
    Foreign,     // a database, but not one of this program: a table is missing
    NewerFormat, // written in a file format SQLite 3.2.5 cannot read (schema format 4, WAL)
    Unreadable,  // locked by another program, or not readable by the user
};

struct BackupFileCheck {
    BackupFileVerdict verdict = BackupFileVerdict::Unreadable;
    TableRowCounts rows{};
};

// Looks a backup file over without changing it: it opens as SQLite, its
// integrity check is ok, and the four tables are there (names compared as
// SQLite compares identifiers). The row counts are given when it is sound.
BackupFileCheck checkBackupFile(const std::string& path, TableNames tables);

// Whether any of the four tables of the open database holds a row; quick,
// as it stops at the first row found.
bool holdsAnyRow(Connection& connection, TableNames tables);

// The rows of the four tables of the open database; empty when a count fails.
std::optional<TableRowCounts> countTableRows(Connection& connection, TableNames tables);

enum class RestoreOutcome {
    Restored,
    // Another program kept the database locked for longer than a statement waits.
    DatabaseBusy,
    // The disk is full, the file cannot be written, ...: the database is as before.
    Failed,
};

// Replaces the whole content of the open database with the backup's, through
// SQLite's online backup into the connection: one write transaction under
// the rollback journal, so a kill or a full disk leaves either the old
// database or the backup's, never a mix. The connection holds no query or
// transaction of its own when this is called. The file takes the backup's
// header, so only a backup that passed checkBackupFile (legacy format) is
// brought back.
RestoreOutcome restoreDatabase(Connection& connection, const std::string& backupPath);

} // namespace chengxi::store
