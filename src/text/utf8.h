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

// The character of a well-formed three-byte sequence at text[pos], as
// Chinese text is made of; 0 for anything else, left to decodeUtf8(). Inline,
// for the loops that convert a million cell texts.
inline char32_t threeByteCharacter(std::string_view text, std::size_t pos) {
    const auto* in = reinterpret_cast<const unsigned char*>(text.data()) + pos;
    if (pos + 2 >= text.size() || (in[0] & 0xF0) != 0xE0 || (in[1] & 0xC0) != 0x80 ||
        (in[2] & 0xC0) != 0x80) {
        return 0;
    }
    const char32_t code = (in[0] & 0x0Fu) << 12 | (in[1] & 0x3Fu) << 6 | (in[2] & 0x3Fu);
    // Overlong forms and surrogates are malformed.
    return code < 0x800 || (code >= 0xD800 && code <= 0xDFFF) ? 0 : code;
}

// True when the whole text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

} // namespace chengxi::text
