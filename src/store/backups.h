#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chengxi::store {

// Backups are named 数据库 + date-time text + .sdb beside the database.
inline constexpr std::string_view kBackupPattern = "数据库*年*月*日*.sdb";

// The full paths of the files in the folder that match the backup pattern
// (folders that match are skipped), in name order.
std::vector<std::string> backupFiles(const std::string& folder);

} // namespace chengxi::store
