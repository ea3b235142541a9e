#include "platform/file_descriptor_posix.h"
#include "platform/temporary_file.h"
#include "platform/temporary_name.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace chengxi::platform {
namespace {

namespace fs = std::filesystem;

// Names are drawn again when one is taken; a hundred taken random names in a
// row mean something else is wrong.
constexpr int kCreateAttempts = 100;

fs::path orCurrentFolder(const fs::path& folder) {
    return folder.empty() ? fs::path(".") : folder;
}

// The name still names the file open on `fd`: nobody removed or replaced it
// meanwhile.
bool nameHoldsFile(const fs::path& path, int fd) {
    struct stat named {};
    struct stat opened {};
    return ::lstat(path.c_str(), &named) == 0 && ::fstat(fd, &opened) == 0 &&
           named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
}

// A new name is on the disk only once its folder is flushed; a folder that
// cannot be flushed (some file systems refuse) still holds the new name.
void flushFolderOf(const fs::path& file) {
    const FileDescriptor folder(
        ::open(orCurrentFolder(file.parent_path()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isOpen()) {
        ::fsync(folder.get());
    }
}

} // namespace

bool systemRandomBytes(std::span<unsigned char> bytes) {
    constexpr std::size_t kMostPerCall = 256;
    while (!bytes.empty()) {
        const std::size_t chunk = std::min(bytes.size(), kMostPerCall);
        if (::getentropy(bytes.data(), chunk) != 0) {
            return false;
        }
        bytes = bytes.subspan(chunk);
    }
    return true;
}

TemporaryFile::TemporaryFile(fs::path path, std::intptr_t handle)
    : path_(std::move(path)), handle_(handle) {}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept
    : path_(std::move(other.path_)), handle_(other.handle_), placed_(other.placed_) {
    other.path_.clear();
    other.handle_ = -1;
}

TemporaryFile::~TemporaryFile() {
    // Removed while still held, so no clean-up can take it in between.
    if (!placed_ && !path_.empty()) {
        ::unlink(path_.c_str());
    }
    close();
}

void TemporaryFile::close() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

std::optional<TemporaryFile> TemporaryFile::create(const fs::path& folder, FileAccess access) {
    const mode_t mode = access == FileAccess::Private ? 0600 : 0666;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        const std::optional<std::string> name = newTemporaryFileName();
        if (!name) {
            return std::nullopt;
        }
        fs::path path = folder / *name;
        FileDescriptor fd(
            ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (!fd.isOpen()) {
            if (errno == EEXIST || errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        // Held while it is written. A clean-up that locked the brand-new file
        // first removes it: another name is drawn. A file system without
        // these locks lets the clean-up lock nothing, so it removes nothing.
        const bool takenByCleanUp =
            ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (!takenByCleanUp && nameHoldsFile(path, fd.get())) {
            return TemporaryFile(std::move(path), fd.release());
        }
    }
    return std::nullopt;
}

bool TemporaryFile::write(std::string_view bytes) {
    if (handle_ < 0) {
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool TemporaryFile::flushToDisk() {
    return handle_ >= 0 && ::fsync(static_cast<int>(handle_)) == 0;
}

bool TemporaryFile::replace(const fs::path& target) {
    if (handle_ < 0 || placed_) {
        return false;
    }
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        // Best effort: a file of another owner keeps this file's own mode.
        ::fchmod(static_cast<int>(handle_), existing.st_mode & 0777);
    }
    if (::rename(path_.c_str(), target.c_str()) != 0) {
        return false;
    }
    placed_ = true;
    flushFolderOf(target);
    return true;
}

Placement TemporaryFile::placeAsNew(const fs::path& target) {
    if (handle_ < 0 || placed_) {
        return Placement::Failed;
    }
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
        placed_ = true;
        flushFolderOf(target);
        return Placement::Placed;
    }
    if (errno == EEXIST) {
        return Placement::NameTaken;
    }
    // Anything but "not offered here" (an old kernel, a file system without
    // it) is a real failure.
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return Placement::Failed;
    }
#endif
    // A second name made as a hard link never takes an existing one either.
    if (::link(path_.c_str(), target.c_str()) != 0) {
        return errno == EEXIST ? Placement::NameTaken : Placement::Failed;
    }
    placed_ = true;
    ::unlink(path_.c_str());
    flushFolderOf(target);
    return Placement::Placed;
}

void removeStaleTemporaryFiles(const fs::path& folder) {
    std::error_code error;
    for (fs::directory_iterator entry(orCurrentFolder(folder), error), end; !error && entry != end;
         entry.increment(error)) {
        const fs::path& file = entry->path();
        struct stat named {};
        if (!isTemporaryFileName(file.filename().native()) || ::lstat(file.c_str(), &named) != 0 ||
            !S_ISREG(named.st_mode)) {
            continue;
        }
        const FileDescriptor fd(
            ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        // A file its writer still holds is being written and stays.
        if (fd.isOpen() && ::flock(fd.get(), LOCK_EX | LOCK_NB) == 0 &&
            nameHoldsFile(file, fd.get())) {
            ::unlink(file.c_str());
        }
    }
}

} // namespace chengxi::platform
