#pragma once

#include <filesystem>
#include <string_view>

// Files that are whole after a crash or a power cut: the new content is
// written to a file of its own and flushed to the disk before it takes the
// old file's name, so a reader finds either the old file or the new one.
namespace chengxi::platform {

// Creates or truncates `file`, writes `bytes` and flushes them to the disk.
// False on any failure (the file may then hold part of the bytes).
bool writeFileDurably(const std::filesystem::path& file, std::string_view bytes);

// Flushes a file written by other means (a database file) to the disk.
bool flushFileToDisk(const std::filesystem::path& file);

// Gives `from` the name `to`, replacing a file of that name, and flushes the
// folder so the new name is on the disk too.
bool renameDurably(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace chengxi::platform
