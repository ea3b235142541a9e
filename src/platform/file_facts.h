#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

// What the program asks about a file before it writes one.
namespace chengxi::platform {

// The same for every name, symbolic link and hard link of one file: device
// and inode number on POSIX, volume serial number and file index on Windows.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t fileHigh = 0;
    std::uint64_t fileLow = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file `path` names, links followed; nothing when there
// is no such file or it cannot be looked at.
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

// True when a file written at `candidate` would take the place of `held`:
// the same file under another spelling of its path, through a symbolic link
// or as a hard link; or, whether or not either exists, the same name in the
// same folder (a journal that exists only while the database is written).
bool wouldReplace(const std::filesystem::path& candidate, const std::filesystem::path& held);

// Whether two file names name one entry of a folder: byte for byte on POSIX,
// without regard to letter case on Windows.
bool sameFileName(const std::filesystem::path& first, const std::filesystem::path& second);

// True for an existing file that may not be written: one the user lacks the
// permission to write, or that nobody may write (which does not stop root),
// or on Windows one with the read-only attribute.
bool isReadOnlyFile(const std::filesystem::path& path);

} // namespace chengxi::platform
