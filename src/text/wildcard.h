#pragma once

#include <string_view>

namespace chengxi::text {

// File-name pattern match: "*" stands for any run of characters, "?" for one
// character; ASCII letters match without regard to case, as file searches do.
bool matchesWildcard(std::string_view name, std::string_view pattern);

} // namespace chengxi::text
