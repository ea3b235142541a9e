#pragma once

#include <string>
#include <string_view>

namespace chengxi::text {

// Hex pairs to bytes, either letter case; false on an odd length or a non-hex character.
bool decodeHex(std::string_view hex, std::string& bytes);
// Bytes to lower-case hex pairs.
std::string encodeHex(std::string_view bytes);

} // namespace chengxi::text
