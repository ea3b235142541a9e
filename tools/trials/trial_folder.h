#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace chengxi::trials {

// Where one trial runs: the program folder (database, backups, workbooks)
// and the settings file beside it, outside the program folder.
struct TrialFolder {
    std::filesystem::path root;

    std::filesystem::path program() const { return root / "program"; }
    std::filesystem::path settings() const { return root / "settings" / "mzqk.ini"; }
    std::filesystem::path database() const;
    std::string programUtf8() const;
    std::string settingsUtf8() const;
};

// The database file's path below a trial's root, as end states name it.
std::string databaseKey();

// Every value of every row of `sql` run on a database file, row by row;
// nothing when the file cannot be opened or the query fails.
std::vector<std::string> queryValues(const std::filesystem::path& database, const std::string& sql);

// The one value of a query that gives one, or "" when it does not.
std::string queryValue(const std::filesystem::path& database, const std::string& sql);

std::string readBytes(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, const std::string& bytes);

} // namespace chengxi::trials
