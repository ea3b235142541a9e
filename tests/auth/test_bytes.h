#pragma once

#include <string>
#include <string_view>

namespace chengxi::auth::testing {

// Bytes from hexadecimal digits; spaces between the digits are skipped.
inline std::string fromHex(std::string_view hex) {
    const auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::string digits;
    for (const char c : hex) {
        if (c != ' ') {
            digits += c;
        }
    }
    std::string bytes;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        bytes += static_cast<char>(nibble(digits[i]) * 16 + nibble(digits[i + 1]));
    }
    return bytes;
}

inline std::string toHex(std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

} // namespace chengxi::auth::testing
