#include "store/restore.h"

#include "store/connection.h"
#include "store/statement.h"
#include "text/cp936.h"
#include "text/file_path.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sqlite3.h>
#include <string_view>

namespace chengxi::store {
namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

bool isDamage(int resultCode) {
    return (resultCode & 0xFF) == SQLITE_CORRUPT;
}

bool isBusy(int resultCode) {
    return (resultCode & 0xFF) == SQLITE_BUSY || (resultCode & 0xFF) == SQLITE_LOCKED;
}

// A backup is only read: opened for reading, so a journal beside it is never
// rolled into it either.
DatabaseHandle openForReading(const std::string& path) {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    DatabaseHandle db(raw);
    if (db != nullptr) {
        sqlite3_busy_timeout(db.get(), kBusyTimeoutMilliseconds);
    }
    return db;
}

BackupFileVerdict verdictOf(int resultCode) {
    if ((resultCode & 0xFF) == SQLITE_NOTADB) {
        return BackupFileVerdict::NoDatabase;
    }
    return isDamage(resultCode) ? BackupFileVerdict::Damaged : BackupFileVerdict::Unreadable;
}

// SQLite's full integrity check: "ok" alone, or one row per fault.
BackupFileVerdict integrityOf(sqlite3* db) {
    const detail::StatementHandle check = detail::prepareSingle(db, "PRAGMA integrity_check");
    if (check == nullptr) {
        return verdictOf(sqlite3_errcode(db));
    }
    const int rc = sqlite3_step(check.get());
    if (rc != SQLITE_ROW) {
        return verdictOf(rc);
    }
    const auto* first = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
    return first != nullptr && std::string_view(first) == "ok" ? BackupFileVerdict::Sound
                                                               : BackupFileVerdict::Damaged;
}

// The name of the table as the file spells it, found the way SQLite compares
// identifiers; empty when there is none.
std::string spelledName(sqlite3* db, const std::string& cp936Name) {
    const detail::StatementHandle query =
        detail::prepareSingle(db, "SELECT name FROM sqlite_master WHERE name = ? COLLATE NOCASE "
                                  "AND type IN ('table','view')");
    if (query == nullptr) {
        return {};
    }
    sqlite3_bind_text64(query.get(), 1, cp936Name.data(), cp936Name.size(), SQLITE_STATIC,
                        SQLITE_UTF8);
    if (sqlite3_step(query.get()) != SQLITE_ROW) {
        return {};
    }
    const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(query.get(), 0));
    return name != nullptr ? std::string(name) : std::string();
}

std::string quotedIdentifier(const std::string& cp936Name) {
    std::string quoted = "\"";
    for (const char c : cp936Name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::optional<std::int64_t> countRows(sqlite3* db, const std::string& cp936Name) {
    const detail::StatementHandle count =
        detail::prepareSingle(db, "SELECT count(*) FROM " + quotedIdentifier(cp936Name));
    if (count == nullptr || sqlite3_step(count.get()) != SQLITE_ROW) {
        return std::nullopt;
    }
    return sqlite3_column_int64(count.get(), 0);
}

// The rows of the four tables, and whether each was found and counted.
struct Counted {
    bool allPresent = true;
    bool allCounted = true;
    TableRowCounts rows{};
};

Counted countFourTables(sqlite3* db, TableNames tables) {
    Counted counted;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        const std::string name = spelledName(db, text::toCp936(tables[i]).bytes);
        if (name.empty()) {
            counted.allPresent = false;
            continue;
        }
        const std::optional<std::int64_t> rows = countRows(db, name);
        counted.allCounted = counted.allCounted && rows.has_value();
        counted.rows[i] = rows.value_or(0);
    }
    return counted;
}

// Bytes 18 and 19 (1: rollback journal) and the schema format at 44, which
// SQLite 3.2.5 needs to be 1 (0 before the first table).
bool keepsLegacyFormat(const std::string& path) {
    std::array<unsigned char, 48> header{};
    std::ifstream in(text::toPath(path), std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) {
        return true; // an empty database has no header yet
    }
    const unsigned format =
        (header[44] << 24U) | (header[45] << 16U) | (header[46] << 8U) | header[47];
    return header[18] == 1 && header[19] == 1 && format <= 1;
}

int stepThroughLocks(sqlite3_backup* backup) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMilliseconds);
    int stepped = sqlite3_backup_step(backup, -1);
    while (isBusy(stepped) && std::chrono::steady_clock::now() < deadline) {
        sqlite3_sleep(20);
        stepped = sqlite3_backup_step(backup, -1);
    }
    return stepped;
}

} // namespace

BackupFileCheck checkBackupFile(const std::string& path, TableNames tables) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(text::toPath(path), error)) {
        return {BackupFileVerdict::Missing, {}};
    }
    const DatabaseHandle db = openForReading(path);
    if (db == nullptr || sqlite3_errcode(db.get()) != SQLITE_OK) {
        return {db != nullptr ? verdictOf(sqlite3_errcode(db.get()))
                              : BackupFileVerdict::Unreadable,
                {}};
    }
    if (const BackupFileVerdict integrity = integrityOf(db.get());
        integrity != BackupFileVerdict::Sound) {
        return {integrity, {}};
    }
    const Counted counted = countFourTables(db.get(), tables);
    if (!counted.allPresent) {
        return {BackupFileVerdict::Foreign, {}};
    }
    // The restored file takes the backup's header: a newer format would
    // leave the library unreadable to the SQLite release the files are for.
    if (!keepsLegacyFormat(path)) {
        return {BackupFileVerdict::NewerFormat, {}};
    }
    if (!counted.allCounted) {
        return {verdictOf(sqlite3_errcode(db.get())), {}};
    }
    return {BackupFileVerdict::Sound, counted.rows};
}

bool holdsAnyRow(Connection& connection, TableNames tables) {
    if (!connection.isOpen()) {
        return false;
    }
    for (const std::string_view table : tables) {
        const std::string name = spelledName(connection.handle(), text::toCp936(table).bytes);
        if (name.empty()) {
            continue;
        }
        const detail::StatementHandle first = detail::prepareSingle(
            connection.handle(), "SELECT 1 FROM " + quotedIdentifier(name) + " LIMIT 1");
        if (first != nullptr && sqlite3_step(first.get()) == SQLITE_ROW) {
            return true;
        }
    }
    return false;
}

std::optional<TableRowCounts> countTableRows(Connection& connection, TableNames tables) {
    if (!connection.isOpen()) {
        return std::nullopt;
    }
    const Counted counted = countFourTables(connection.handle(), tables);
    if (!counted.allCounted) {
        connection.noteResult(sqlite3_errcode(connection.handle()));
        return std::nullopt;
    }
    return counted.rows;
}

RestoreOutcome restoreDatabase(Connection& connection, const std::string& backupPath) {
    if (!connection.isOpen() || connection.inTransaction() || connection.isReadOnly()) {
        return RestoreOutcome::Failed;
    }
    const DatabaseHandle source = openForReading(backupPath);
    if (source == nullptr || sqlite3_errcode(source.get()) != SQLITE_OK) {
        return RestoreOutcome::Failed;
    }
    sqlite3* target = connection.handle();
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source.get(), "main");
    if (backup == nullptr) {
        connection.noteResult(sqlite3_errcode(target));
        return connection.lastFailureWasBusy() ? RestoreOutcome::DatabaseBusy
                                               : RestoreOutcome::Failed;
    }
    // Finishing rolls back whatever a failed step wrote.
    const int stepped = stepThroughLocks(backup);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE || finished != SQLITE_OK) {
        connection.noteResult(stepped != SQLITE_DONE ? stepped : finished);
        return isBusy(stepped) ? RestoreOutcome::DatabaseBusy : RestoreOutcome::Failed;
    }
    connection.noteResult(SQLITE_OK);
    return RestoreOutcome::Restored;
}

} // namespace chengxi::store
