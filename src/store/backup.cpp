#include "store/backup.h"

#include "platform/durable_file.h"
#include "store/connection.h"
#include "text/file_path.h"

#include <chrono>
#include <memory>
#include <sqlite3.h>
#include <system_error>

namespace chengxi::store {
namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

// The online backup does not call the source's busy handler: another
// program's lock is waited out here, as long as a statement would wait.
int stepThroughLocks(sqlite3_backup* backup) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMilliseconds);
    int stepped = sqlite3_backup_step(backup, -1);
    while ((stepped == SQLITE_BUSY || stepped == SQLITE_LOCKED) &&
           std::chrono::steady_clock::now() < deadline) {
        sqlite3_sleep(20);
        stepped = sqlite3_backup_step(backup, -1);
    }
    return stepped;
}

bool isDamage(int resultCode) {
    return (resultCode & 0xFF) == SQLITE_CORRUPT || (resultCode & 0xFF) == SQLITE_NOTADB;
}

BackupOutcome copyInto(sqlite3* source, const std::string& path) {
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    DatabaseHandle target(raw);
    if (opened != SQLITE_OK) {
        return BackupOutcome::Failed;
    }
    useLegacyFileFormat(target.get());
    // The file is a fresh copy under a temporary name: no journal is needed,
    // and the whole file is flushed once it is complete.
    sqlite3_exec(target.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr,
                 nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source, "main");
    if (backup == nullptr) {
        return BackupOutcome::Failed;
    }
    const int stepped = stepThroughLocks(backup);
    const int finished = sqlite3_backup_finish(backup);
    if (stepped == SQLITE_BUSY || stepped == SQLITE_LOCKED) {
        return BackupOutcome::DatabaseBusy;
    }
    if (isDamage(stepped)) {
        return BackupOutcome::DatabaseDamaged;
    }
    return stepped == SQLITE_DONE && finished == SQLITE_OK &&
                   sqlite3_close(target.release()) == SQLITE_OK
               ? BackupOutcome::Made
               : BackupOutcome::Failed;
}

} // namespace

BackupOutcome backupDatabase(Connection& connection, const std::string& targetPath) {
    if (!connection.isOpen()) {
        return BackupOutcome::Failed;
    }
    if (connection.damageFound()) {
        return BackupOutcome::DatabaseDamaged;
    }
    const std::filesystem::path target = text::toPath(targetPath);
    std::filesystem::path temporary = target;
    temporary += ".part";
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    BackupOutcome outcome = copyInto(connection.handle(), text::fromPath(temporary));
    if (outcome == BackupOutcome::Made &&
        !(platform::flushFileToDisk(temporary) && platform::renameDurably(temporary, target))) {
        outcome = BackupOutcome::Failed;
    }
    if (outcome != BackupOutcome::Made) {
        std::filesystem::remove(temporary, ignored);
    }
    if (outcome == BackupOutcome::DatabaseDamaged) {
        connection.noteResult(SQLITE_CORRUPT);
    }
    return outcome;
}

} // namespace chengxi::store
