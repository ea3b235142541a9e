#include "store/connection.h"

#include "platform/private_files.h"
#include "store/text_functions.h"
#include "text/cp936.h"
#include "text/file_path.h"

#include <filesystem>
#include <sqlite3.h>
#include <vector>

namespace chengxi::store {
namespace {

// The page cache, in KiB: large enough to keep a catalogue of 100,000 books
// in memory, so a look-up that scans it (tables without indexes) does not
// read every page from the system again. Only pages in use take memory.
constexpr const char* kCacheSize = "PRAGMA cache_size=-65536";

bool isInMemoryName(std::string_view path) {
    constexpr std::string_view memory = ":memory:";
    if (path.empty()) {
        return true;
    }
    if (path.size() != memory.size()) {
        return false;
    }
    for (std::size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != memory[i]) {
            return false;
        }
    }
    return true;
}

// A program killed inside a transaction before its commit began leaves a
// journal whose header was never written: SQLite rightly ignores it, but
// the file would lie beside the database for ever. Leaving the persistent
// journal mode deletes it, under SQLite's own lock, after rolling back a
// journal that is hot; the rollback journal stays the database's mode.
void removeLeftoverJournal(sqlite3* db, const std::string& path) {
    std::error_code ignored;
    if (std::filesystem::exists(text::toPath(path + "-journal"), ignored)) {
        sqlite3_exec(db, "PRAGMA journal_mode=PERSIST; PRAGMA journal_mode=DELETE", nullptr,
                     nullptr, nullptr);
    }
}

} // namespace

void useLegacyFileFormat(sqlite3* db) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_LEGACY_FILE_FORMAT, 1, nullptr);
}

Connection::~Connection() {
    release();
}

void Connection::release() {
    statements_.clear();
    // close_v2 always lets go: a statement still open elsewhere keeps the
    // connection alive until it is finalized.
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool Connection::open(const std::string& path, bool allowCreate) {
    release();
    const bool inMemory = isInMemoryName(path);
    if (inMemory && !allowCreate) {
        return false;
    }
    // File names go to SQLite as UTF-8 on every platform (its Windows VFS
    // converts them to the wide API). No SQLITE_OPEN_CREATE means a missing
    // file fails instead of being created. Only the user-interface thread uses
    // a connection, so SQLite need not lock it around every call (a listing
    // of 100,000 rows makes millions of them).
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (allowCreate) {
        flags |= SQLITE_OPEN_CREATE;
    }
    // SQLite would make a new file, and its journal after it, readable by
    // every user of the computer; the library's data is the user's alone.
    if (allowCreate && !inMemory) {
        platform::createPrivateFileIfMissing(text::toPath(path));
    }
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(inMemory ? ":memory:" : path.c_str(), &db, flags, nullptr);
    // The title search needs its function on every connection it may run on.
    if (rc != SQLITE_OK || !registerTextFunctions(db)) {
        sqlite3_close_v2(db);
        return false;
    }
    // A file this connection creates keeps to the format SQLite 3.2.5 reads.
    useLegacyFileFormat(db);
    // A short lock held by another program is waited out instead of failing.
    sqlite3_busy_timeout(db, static_cast<int>(lockWait_.count()));
    sqlite3_exec(db, kCacheSize, nullptr, nullptr, nullptr);
    if (!inMemory) {
        removeLeftoverJournal(db, path);
    }
    db_ = db;
    busy_ = false;
    lastDamaged_ = false;
    damageFound_ = false;
    return true;
}

void Connection::setLockWait(std::chrono::milliseconds wait) {
    lockWait_ = wait;
    if (db_ != nullptr) {
        sqlite3_busy_timeout(db_, static_cast<int>(lockWait_.count()));
    }
}

bool Connection::close() {
    if (db_ == nullptr) {
        return true;
    }
    statements_.clear();
    if (sqlite3_close(db_) != SQLITE_OK) {
        return false;
    }
    db_ = nullptr;
    return true;
}

void Connection::noteResult(int resultCode) {
    const int primary = resultCode & 0xFF;
    busy_ = primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
    lastDamaged_ = primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
    damageFound_ = damageFound_ || lastDamaged_;
}

void Connection::forbidWrites() {
    if (db_ != nullptr) {
        sqlite3_exec(db_, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
    }
}

bool Connection::execute(std::string_view sql, std::span<const std::string> texts) {
    const std::vector<Value> values(texts.begin(), texts.end());
    return execute(sql, std::span<const Value>(values));
}

bool Connection::execute(std::string_view sql, std::span<const Value> values) {
    noteResult(SQLITE_OK);
    if (db_ == nullptr || sql.empty()) {
        return false;
    }
    // Encoded before anything runs, so a value the code page lacks stores nothing.
    std::vector<detail::EncodedValue>& encoded = encoded_;
    if (!detail::encodeValues(values, encoded)) {
        return false;
    }
    sqlite3_stmt* statement = statements_.find(sql);
    if (statement == nullptr) {
        const text::Cp936Bytes bytes = text::toCp936(sql);
        if (!bytes.ok()) {
            return false;
        }
        detail::StatementHandle prepared = detail::prepareSingle(db_, bytes.bytes);
        if (prepared == nullptr) {
            noteResult(sqlite3_errcode(db_));
            return false;
        }
        statement = statements_.insert(std::string(sql), std::move(prepared));
    }
    int rc = SQLITE_MISUSE;
    if (detail::bindValues(statement, encoded, false)) {
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        }
    }
    noteResult(rc);
    // Reset at once so the statement holds no lock and no pointer into `encoded`.
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return rc == SQLITE_DONE;
}

bool Connection::beginTransaction() {
    return execute("BEGIN TRANSACTION ");
}

bool Connection::commitTransaction() {
    return execute("COMMIT TRANSACTION ");
}

bool Connection::rollbackTransaction() {
    if (!inTransaction()) {
        return true;
    }
    return execute("ROLLBACK TRANSACTION ");
}

int Connection::changes() const {
    return db_ != nullptr ? sqlite3_changes(db_) : 0;
}

bool Connection::isReadOnly() const {
    return db_ != nullptr && sqlite3_db_readonly(db_, "main") == 1;
}

bool Connection::inTransaction() const {
    return db_ != nullptr && sqlite3_get_autocommit(db_) == 0;
}

} // namespace chengxi::store
