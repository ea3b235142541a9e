#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace chengxi::text {

// The value of a list column that holds no items.
inline constexpr std::string_view kEmptyList = "0";

// Splits a list column at "|": one item per "|" (an empty item between two
// adjacent bars counts), plus the rest after the last "|" when it is not
// empty. "A|B|" gives A and B, "0" gives "0", the empty text gives nothing.
std::vector<std::string> splitListColumn(std::string_view list);

} // namespace chengxi::text
