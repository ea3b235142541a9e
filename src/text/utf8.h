#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace chengxi::text {

// Appends the UTF-8 form of a Unicode scalar value.
void appendUtf8(std::string& out, char32_t codePoint);

// Decodes the character at `pos` and advances `pos` past it. A malformed or
// truncated sequence yields U+FFFD and advances by one byte.
char32_t decodeUtf8(std::string_view text, std::size_t& pos);

// True when the whole text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

} // namespace chengxi::text
