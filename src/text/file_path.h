#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace chengxi::text {

// File names are UTF-8 inside the program; these convert to and from the
// platform's own form (UTF-8 on Linux, wide characters on Windows).
std::filesystem::path toPath(std::string_view utf8);
std::string fromPath(const std::filesystem::path& path);

// `folder` joined with `name`, as a UTF-8 text.
std::string joinPath(std::string_view folder, std::string_view name);

} // namespace chengxi::text
