#include "platform/file_descriptor_posix.h"
#include "platform/private_files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chengxi::platform {

bool createPrivateFileIfMissing(const std::filesystem::path& file) {
    const FileDescriptor fd(
        ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    return fd.isOpen() || errno == EEXIST;
}

bool createPrivateFolders(const std::filesystem::path& folder) {
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error)) {
        return !folder.empty();
    }
    const std::filesystem::path above = folder.parent_path();
    if (above != folder && !above.empty() && !createPrivateFolders(above)) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || std::filesystem::is_directory(folder, error);
}

} // namespace chengxi::platform
