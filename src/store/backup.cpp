#include "store/backup.h"

#include "platform/durable_file.h"
#include "store/connection.h"
#include "text/file_path.h"

#include <memory>
#include <sqlite3.h>
#include <system_error>

namespace chengxi::store {
namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

bool copyInto(sqlite3* source, const std::string& path) {
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    DatabaseHandle target(raw);
    if (opened != SQLITE_OK) {
        return false;
    }
    // The file is a fresh copy under a temporary name: no journal is needed,
    // and the whole file is flushed once it is complete.
    sqlite3_exec(target.get(), "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF", nullptr, nullptr,
                 nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source, "main");
    if (backup == nullptr) {
        return false;
    }
    const int stepped = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    return stepped == SQLITE_DONE && finished == SQLITE_OK &&
           sqlite3_close(target.release()) == SQLITE_OK;
}

} // namespace

bool backupDatabase(Connection& connection, const std::string& targetPath) {
    if (!connection.isOpen()) {
        return false;
    }
    const std::filesystem::path target = text::toPath(targetPath);
    std::filesystem::path temporary = target;
    temporary += ".part";
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    const bool copied = copyInto(connection.handle(), text::fromPath(temporary)) &&
                        platform::flushFileToDisk(temporary) &&
                        platform::renameDurably(temporary, target);
    if (!copied) {
        std::filesystem::remove(temporary, ignored);
    }
    return copied;
}

} // namespace chengxi::store
