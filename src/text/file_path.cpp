#include "text/file_path.h"

namespace chengxi::text {

std::filesystem::path toPath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string fromPath(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string joinPath(std::string_view folder, std::string_view name) {
    return fromPath(toPath(folder) / toPath(name));
}

} // namespace chengxi::text
