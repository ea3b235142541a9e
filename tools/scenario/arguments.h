#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::scenario {

// Splits a scenario line into arguments: blanks separate them; an argument in
// double quotes may hold blanks, "\"" and "\\"; "" is the empty text.
// Nothing on a malformed line (an unterminated quote).
std::optional<std::vector<std::string>> splitArguments(std::string_view line);

} // namespace chengxi::scenario
