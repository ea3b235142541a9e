#include "store/backup.h"

#include "platform/temporary_file.h"
#include "store/connection.h"
#include "text/file_path.h"

#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <string>

namespace chengxi::store {
namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

// The online backup does not call the source's busy handler: another
// program's lock is waited out here, as long as a statement would wait.
int stepThroughLocks(sqlite3_backup* backup, std::chrono::milliseconds lockWait) {
    const auto deadline = std::chrono::steady_clock::now() + lockWait;
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

BackupOutcome copyInto(sqlite3* source, const std::string& path,
                       std::chrono::milliseconds lockWait) {
    sqlite3* raw = nullptr;
    // The file exists already, made for the user alone; nothing else is created.
    const int opened = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
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
    const int stepped = stepThroughLocks(backup, lockWait);
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

// Backups of one second beyond this many would be a runaway loop, not a librarian.
constexpr int kMostNumberedNames = 10000;

// The name itself first, then "name(2).ext", "name(3).ext", ...
std::filesystem::path numberedName(const std::filesystem::path& target, int number) {
    if (number == 1) {
        return target;
    }
    std::filesystem::path numbered = target;
    numbered.replace_filename(text::toPath(text::fromPath(target.stem()) + "(" +
                                           std::to_string(number) + ")" +
                                           text::fromPath(target.extension())));
    return numbered;
}

// Taken names are stepped over, so no backup ever replaces another file.
BackupOutcome placeUnderFreeName(platform::TemporaryFile& temporary,
                                 const std::filesystem::path& target) {
    for (int number = 1; number <= kMostNumberedNames; ++number) {
        switch (temporary.placeAsNew(numberedName(target, number))) {
        case platform::Placement::Placed:
            return BackupOutcome::Made;
        case platform::Placement::NameTaken:
            continue;
        case platform::Placement::Failed:
            return BackupOutcome::Failed;
        }
    }
    return BackupOutcome::Failed;
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
    std::optional<platform::TemporaryFile> temporary =
        platform::TemporaryFile::create(target.parent_path(), platform::FileAccess::Private);
    if (!temporary) {
        return BackupOutcome::Failed;
    }
    const BackupOutcome outcome =
        copyInto(connection.handle(), text::fromPath(temporary->path()), connection.lockWait());
    if (outcome == BackupOutcome::DatabaseDamaged) {
        // Met only now: the connection is to know it too.
        connection.noteResult(SQLITE_CORRUPT);
    }
    if (outcome != BackupOutcome::Made || !temporary->flushToDisk()) {
        return outcome == BackupOutcome::Made ? BackupOutcome::Failed : outcome;
    }
    return placeUnderFreeName(*temporary, target);
}

BackupOutcome copyDatabaseFile(const std::string& databasePath, const std::string& targetPath) {
    const std::filesystem::path target = text::toPath(targetPath);
    std::optional<platform::TemporaryFile> temporary =
        platform::TemporaryFile::create(target.parent_path(), platform::FileAccess::Private);
    std::ifstream in(text::toPath(databasePath), std::ios::binary);
    if (!temporary || !in) {
        return BackupOutcome::Failed;
    }
    std::string piece(1 << 20, '\0');
    while (in.read(piece.data(), static_cast<std::streamsize>(piece.size())) || in.gcount() > 0) {
        if (!temporary->write(
                std::string_view(piece.data(), static_cast<std::size_t>(in.gcount())))) {
            return BackupOutcome::Failed;
        }
    }
    if (in.bad() || !temporary->flushToDisk()) {
        return BackupOutcome::Failed;
    }
    return placeUnderFreeName(*temporary, target);
}

} // namespace chengxi::store
