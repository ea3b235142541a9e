#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct sqlite3;

namespace chengxi::store::testing {

// A fresh folder under the system's temporary folder, removed with its
// contents afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A name inside the folder ("/" separates folders), as a path for the
    // file system calls and as the UTF-8 text the access layer takes.
    std::filesystem::path at(const std::string& utf8Name) const;
    std::string file(const std::string& utf8Name) const;

private:
    std::filesystem::path path_;
};

// A second, plain SQLite connection to look at a file's raw bytes, past the
// code page conversion of the access layer.
class RawDatabase {
public:
    explicit RawDatabase(const std::string& path);
    ~RawDatabase();
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;

    bool ok() const { return db_ != nullptr; }
    // The first column of every row of `sql`, as stored bytes; `parameter`
    // (bytes too) is bound to the first "?" when given.
    std::vector<std::string> column(const std::string& sql, const std::string* parameter = nullptr);

private:
    sqlite3* db_ = nullptr;
};

} // namespace chengxi::store::testing
