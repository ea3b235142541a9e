#pragma once

#include "platform/temporary_file.h"
#include "xls/result.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// Whole-file reads and writes by UTF-8 path, through std::filesystem so the
// same code opens wide-character paths on Windows.
namespace chengxi::xls {

std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string pathToUtf8(const std::filesystem::path& path);

// The file's bytes; fails when it cannot be read or is larger than `limit`.
Result<std::string> readFileBytes(const std::filesystem::path& path, std::size_t limit);

// Replaces the whole file with `bytes`. They go to a temporary file beside
// it first, which then takes the file's place, so a failed write never
// leaves half a file behind. A read-only file is not replaced; a replaced
// file keeps its permissions, a new one gets the user's usual ones.
Status replaceFile(const std::filesystem::path& path, std::string_view bytes);

// As replaceFile, the temporary file's content written by `write`.
Status replaceFileBy(const std::filesystem::path& path,
                     const std::function<Status(platform::TemporaryFile&)>& write);

} // namespace chengxi::xls
