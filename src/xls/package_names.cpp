#include "xls/package_names.h"

#include <vector>

namespace chengxi::xls {
namespace {

std::string_view folderOf(std::string_view part) {
    const std::size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : part.substr(0, slash + 1);
}

} // namespace

std::optional<std::string> resolvePartName(std::string_view source, std::string_view target) {
    // A fragment or query names a place inside the part, not another part.
    target = target.substr(0, target.find_first_of("#?"));
    if (target.empty()) {
        return std::nullopt;
    }
    std::string path;
    if (target.front() == '/') {
        path = target.substr(1);
    } else {
        path = std::string(folderOf(source)) + std::string(target);
    }
    std::vector<std::string_view> segments;
    const std::string_view whole = path;
    std::size_t start = 0;
    while (start <= whole.size()) {
        const std::size_t slash = std::min(whole.find('/', start), whole.size());
        const std::string_view segment = whole.substr(start, slash - start);
        if (segment == "..") {
            if (segments.empty()) {
                return std::nullopt;
            }
            segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = slash + 1;
    }
    if (segments.empty()) {
        return std::nullopt;
    }
    std::string resolved;
    for (const std::string_view segment : segments) {
        if (!resolved.empty()) {
            resolved += '/';
        }
        resolved += segment;
    }
    return resolved;
}

std::string relationshipsPartOf(std::string_view part) {
    const std::string_view folder = folderOf(part);
    return std::string(folder) + "_rels/" + std::string(part.substr(folder.size())) + ".rels";
}

} // namespace chengxi::xls
