#include "store_test_support.h"

#include <atomic>
#include <chrono>
#include <sqlite3.h>

namespace chengxi::store::testing {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("chengxi-store-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::at(const std::string& utf8Name) const {
    return path_ / std::filesystem::path(std::u8string(utf8Name.begin(), utf8Name.end()));
}

std::string TempDir::file(const std::string& utf8Name) const {
    const std::u8string utf8 = at(utf8Name).u8string();
    return std::string(utf8.begin(), utf8.end());
}

RawDatabase::RawDatabase(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

RawDatabase::~RawDatabase() {
    sqlite3_close(db_);
}

std::vector<std::string> RawDatabase::column(const std::string& sql, const std::string* parameter) {
    std::vector<std::string> values;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        return values;
    }
    if (parameter != nullptr) {
        sqlite3_bind_text(statement, 1, parameter->data(), static_cast<int>(parameter->size()),
                          SQLITE_TRANSIENT);
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, 0));
        values.emplace_back(bytes != nullptr ? bytes : "",
                            static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)));
    }
    sqlite3_finalize(statement);
    return values;
}

} // namespace chengxi::store::testing
