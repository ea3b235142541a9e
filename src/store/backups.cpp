#include "store/backups.h"

#include "text/file_path.h"
#include "text/wildcard.h"

#include <algorithm>
#include <filesystem>

namespace chengxi::store {

std::vector<std::string> backupFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(text::toPath(folder), error), end;
         !error && entry != end; entry.increment(error)) {
        const std::string name = text::fromPath(entry->path().filename());
        if (entry->is_regular_file(error) && text::matchesWildcard(name, kBackupPattern)) {
            files.push_back(text::joinPath(folder, name));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace chengxi::store
