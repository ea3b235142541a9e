#pragma once

#include <string>
#include <string_view>

namespace chengxi::scenario {

// A text as failure reports quote it.
inline std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace chengxi::scenario
