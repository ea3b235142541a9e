#include "store/integrity.h"

#include "store/connection.h"
#include "store/statement.h"
#include "text/file_path.h"

#include <array>
#include <fstream>
#include <sqlite3.h>
#include <string>
#include <string_view>

namespace chengxi::store {
namespace {

// Bytes 18 and 19 of the header: the versions needed to write and to read
// the file, 1 (rollback journal) or 2 (WAL). SQLite refuses to read a file
// with a higher read version, but opens one with a higher write version for
// reading only, so a damaged byte there would pass for a read-only file.
bool versionBytesSound(sqlite3* db) {
    const char* file = sqlite3_db_filename(db, "main");
    if (file == nullptr || *file == '\0') {
        return true; // in memory: no file, no header
    }
    std::array<char, 20> header{};
    std::ifstream in(text::toPath(file), std::ios::binary);
    if (!in.read(header.data(), header.size())) {
        return true; // a file too short for a header is SQLite's to judge
    }
    const auto known = [](char version) { return version == 1 || version == 2; };
    return known(header[18]) && known(header[19]);
}

// The quick check reads every page once. Through the connection's large page
// cache it would spend its time filling that cache and leave the program
// holding the whole file in memory; a small cache serves it as well.
class SmallCacheWhileChecking {
public:
    explicit SmallCacheWhileChecking(sqlite3* db) : db_(db) {
        sqlite3_stmt* query = nullptr;
        if (sqlite3_prepare_v2(db_, "PRAGMA cache_size", -1, &query, nullptr) == SQLITE_OK &&
            sqlite3_step(query) == SQLITE_ROW) {
            size_ = sqlite3_column_int(query, 0);
        }
        sqlite3_finalize(query);
        sqlite3_exec(db_, "PRAGMA cache_size=-2000", nullptr, nullptr, nullptr);
    }
    ~SmallCacheWhileChecking() {
        const std::string restore = "PRAGMA cache_size=" + std::to_string(size_);
        sqlite3_exec(db_, restore.c_str(), nullptr, nullptr, nullptr);
    }
    SmallCacheWhileChecking(const SmallCacheWhileChecking&) = delete;
    SmallCacheWhileChecking& operator=(const SmallCacheWhileChecking&) = delete;

private:
    sqlite3* db_;
    int size_ = -2000; // SQLite's default
};

} // namespace

Integrity checkIntegrity(Connection& connection) {
    if (!connection.isOpen()) {
        return Integrity::Unchecked;
    }
    sqlite3* db = connection.handle();
    if (!versionBytesSound(db)) {
        connection.noteResult(SQLITE_CORRUPT);
        return Integrity::Damaged;
    }
    const SmallCacheWhileChecking smallCache(db);
    const detail::StatementHandle check = detail::prepareSingle(db, "PRAGMA quick_check");
    const int rc = check != nullptr ? sqlite3_step(check.get()) : sqlite3_errcode(db);
    if (rc != SQLITE_ROW) {
        connection.noteResult(rc);
        return connection.lastFailureWasDamage() ? Integrity::Damaged : Integrity::Unchecked;
    }
    // One row "ok" when sound; otherwise one row per problem found.
    const auto* first = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
    if (first != nullptr && std::string_view(first) == "ok") {
        connection.noteResult(SQLITE_OK);
        return Integrity::Sound;
    }
    connection.noteResult(SQLITE_CORRUPT);
    return Integrity::Damaged;
}

std::optional<std::vector<std::string>> integrityFaults(Connection& connection) {
    if (!connection.isOpen()) {
        return std::nullopt;
    }
    sqlite3* db = connection.handle();
    const SmallCacheWhileChecking smallCache(db);
    const detail::StatementHandle check = detail::prepareSingle(db, "PRAGMA integrity_check");
    if (check == nullptr) {
        connection.noteResult(sqlite3_errcode(db));
        return connection.lastFailureWasDamage()
                   ? std::optional(std::vector<std::string>{sqlite3_errmsg(db)})
                   : std::nullopt;
    }
    std::vector<std::string> faults;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(check.get())) == SQLITE_ROW) {
        const std::string row = detail::columnText(check.get(), 0);
        if (row != "ok") {
            faults.push_back(row);
        }
    }
    connection.noteResult(rc == SQLITE_DONE && !faults.empty() ? SQLITE_CORRUPT : rc);
    if (rc != SQLITE_DONE) {
        return connection.lastFailureWasDamage()
                   ? std::optional(std::vector<std::string>{sqlite3_errmsg(db)})
                   : std::nullopt;
    }
    return faults;
}

} // namespace chengxi::store
