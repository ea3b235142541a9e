#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

// A file that is written under a temporary name beside the file it will
// become and then takes that file's name, so a reader finds the old file or
// the whole new one, never a part. The temporary is created exclusively
// (never an existing file, never through a link) under a random name of the
// program's pattern (see temporary_name.h), and held by its writer so that
// removeStaleTemporaryFiles leaves it alone while it is being written.
namespace chengxi::platform {

enum class FileAccess {
    Private, // for the user alone (0600): the database, backups, settings
    Shared,  // as the user's files usually are (0666 less the umask): exports
};

enum class Placement {
    Placed,
    NameTaken, // a file of that name exists; nothing was changed
    Failed,
};

class TemporaryFile {
public:
    // A new, empty temporary file in `folder`; nothing when none can be made
    // there (no such folder, no permission, no random bytes).
    static std::optional<TemporaryFile> create(const std::filesystem::path& folder,
                                               FileAccess access);

    TemporaryFile(TemporaryFile&& other) noexcept;
    TemporaryFile& operator=(TemporaryFile&&) = delete;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    // Removes the file unless it has taken its final name.
    ~TemporaryFile();

    // Where the file is, for writers that open it themselves (SQLite).
    const std::filesystem::path& path() const { return path_; }

    // Appends `bytes` at the end of what this object wrote before.
    bool write(std::string_view bytes);
    // Flushes the file's content, however it was written, to the disk.
    bool flushToDisk();

    // Gives the file the name `target`, replacing a file of that name, and
    // flushes the folder so the new name is on the disk too. A replaced
    // file's permissions are kept.
    bool replace(const std::filesystem::path& target);
    // Gives the file the name `target` only when no file has that name, even
    // one that appears meanwhile; NameTaken leaves the temporary as it is,
    // ready for another name.
    Placement placeAsNew(const std::filesystem::path& target);

private:
    TemporaryFile(std::filesystem::path path, std::intptr_t handle);
    void close();

    std::filesystem::path path_;
    std::intptr_t handle_; // the descriptor or handle, -1 once closed
    bool placed_ = false;
};

// Removes the files of the temporary pattern in `folder` that no program is
// writing any more: left behind by a program that was killed or lost its
// power. Other files, folders and links are left alone.
void removeStaleTemporaryFiles(const std::filesystem::path& folder);

} // namespace chengxi::platform
