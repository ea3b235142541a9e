#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace chengxi::text {

// Hashes texts by view, so a lookup does not copy the text it looks for.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>()(text);
    }
};

// Sets and counts of texts looked up by std::string_view.
using TextSet = std::unordered_set<std::string, TextHash, std::equal_to<>>;
template <typename Value>
using TextMap = std::unordered_map<std::string, Value, TextHash, std::equal_to<>>;

} // namespace chengxi::text
