#include "platform/file_facts.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace chengxi::platform {

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(status.st_dev), 0,
                        static_cast<std::uint64_t>(status.st_ino)};
}

bool sameFileName(const std::filesystem::path& first, const std::filesystem::path& second) {
    return first.native() == second.native();
}

bool isReadOnlyFile(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) {
        return false;
    }
    const bool nobodyMayWrite = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    return nobodyMayWrite ||
           (::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS));
}

} // namespace chengxi::platform
