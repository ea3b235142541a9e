#pragma once

#include <filesystem>

namespace chengxi::platform {

// Flushes a file written by other means (a database file) to the disk.
bool flushFileToDisk(const std::filesystem::path& file);

} // namespace chengxi::platform
