#pragma once

#include "store/statement_cache.h"
#include "store/value.h"

#include <chrono>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace chengxi::store {

// The result code that marks the database damaged (SQLITE_CORRUPT), for
// callers that meet damage outside a statement.
inline constexpr int kDamageResult = 11;

// How long a statement waits for a lock another program holds, unless its
// connection is told otherwise.
inline constexpr std::chrono::milliseconds kDefaultLockWait{3000};

// Makes every file the connection creates from now on readable by SQLite
// 3.2.5 (schema format 1); files that exist keep their format. Called on
// every connection that may create a database file, before its first table.
void useLegacyFileFormat(sqlite3* db);

// The program's one database connection. Every statement text and bound value
// is handed to SQLite as code page 936 bytes; callers pass UTF-8.
class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Closes the connection if open, then opens `path` (a file name in the
    // platform's encoding). An empty path or ":memory:" (any ASCII case) opens
    // an in-memory database, but only with `allowCreate`. Without
    // `allowCreate` a missing file is not created. A query still open on the
    // earlier connection keeps it alive until that query is closed.
    bool open(const std::string& path, bool allowCreate);
    bool isOpen() const { return db_ != nullptr; }
    // False only when SQLite reports the connection busy (a query is still
    // open on it); the connection then stays open.
    bool close();

    // Runs exactly one statement with `values` bound to its "?" parameters in
    // order. False, with nothing run, on an empty text, a second statement in
    // the text, a text or value that code page 936 cannot hold, or a number of
    // values other than the number of parameters; false on any SQLite error.
    bool execute(std::string_view sql, std::span<const Value> values = {});
    bool execute(std::string_view sql, std::initializer_list<Value> values) {
        return execute(sql, std::span<const Value>(values.begin(), values.size()));
    }
    bool execute(std::string_view sql, std::span<const std::string> texts);
    // The rows the last INSERT, UPDATE or DELETE changed.
    int changes() const;

    bool beginTransaction();
    bool commitTransaction();
    // Undoes an open transaction; true when none was open.
    bool rollbackTransaction();
    bool inTransaction() const;
    // Open, but only for reading (the file or its folder is read-only).
    bool isReadOnly() const;

    // How long statements, and backups from or into this database, wait for
    // a lock another program holds before they fail as busy. Kept across
    // open(); tests that only need the failure shorten it.
    void setLockWait(std::chrono::milliseconds wait);
    std::chrono::milliseconds lockWait() const { return lockWait_; }

    // Whether the last statement failed because another program held the
    // database locked for longer than the connection waits (lockWait()).
    bool lastFailureWasBusy() const { return busy_; }
    // Whether the last statement failed because the file is damaged (or is
    // no database at all).
    bool lastFailureWasDamage() const { return lastDamaged_; }
    // Whether damage has been met since the database was opened, by any
    // statement or by the integrity check: whatever is read may be incomplete.
    bool damageFound() const { return damageFound_; }
    // Records the outcome of a statement run on the handle directly.
    void noteResult(int resultCode);
    // From now on every change is refused (SQLITE_READONLY), so a damaged
    // database is not harmed further; reading goes on.
    void forbidWrites();

    sqlite3* handle() const { return db_; }

private:
    void release();

    sqlite3* db_ = nullptr;
    std::chrono::milliseconds lockWait_ = kDefaultLockWait;
    bool busy_ = false;
    bool lastDamaged_ = false;
    bool damageFound_ = false;
    detail::StatementCache statements_;
    // The values of the last statement, kept so that their buffers serve the
    // next one: an import runs the same insert tens of thousands of times.
    std::vector<detail::EncodedValue> encoded_;
};

} // namespace chengxi::store
