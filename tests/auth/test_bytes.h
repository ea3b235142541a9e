#pragma once

#include "text/hex.h"

#include <string>
#include <string_view>

namespace chengxi::auth::testing {

// Bytes from hexadecimal digits; spaces between the digits are skipped.
inline std::string fromHex(std::string_view hex) {
    std::string digits;
    for (const char c : hex) {
        if (c != ' ') {
            digits += c;
        }
    }
    std::string bytes;
    text::decodeHex(digits, bytes);
    return bytes;
}

inline std::string toHex(std::string_view bytes) {
    return text::encodeHex(bytes);
}

} // namespace chengxi::auth::testing
