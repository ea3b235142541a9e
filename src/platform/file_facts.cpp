#include "platform/file_facts.h"

namespace chengxi::platform {
namespace {

namespace fs = std::filesystem;

fs::path folderOf(const fs::path& file) {
    const fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

} // namespace

bool wouldReplace(const fs::path& candidate, const fs::path& held) {
    const std::optional<FileIdentity> file = fileIdentity(candidate);
    if (file && file == fileIdentity(held)) {
        return true;
    }
    const std::optional<FileIdentity> folder = fileIdentity(folderOf(candidate));
    return folder && folder == fileIdentity(folderOf(held)) &&
           sameFileName(candidate.filename(), held.filename());
}

} // namespace chengxi::platform
