#include "text/integer_value.h"

#include "text/utf8.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace chengxi::text {
namespace {

bool isBlank(char32_t c) {
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\v' || c == U'\f' || c == U'\r';
}

// The digit's value, or -1 when the character is not a digit.
int digitValue(char32_t c) {
    if (c >= U'0' && c <= U'9') {
        return static_cast<int>(c - U'0');
    }
    if (c >= U'０' && c <= U'９') {
        return static_cast<int>(c - U'０');
    }
    return -1;
}

} // namespace

int integerValue(std::string_view text) {
    std::size_t pos = 0;
    std::size_t next = 0;
    auto peek = [&] {
        next = pos;
        return pos < text.size() ? decodeUtf8(text, next) : U'\0';
    };

    char32_t c = peek();
    while (isBlank(c)) {
        pos = next;
        c = peek();
    }
    bool negative = false;
    if (c == U'+' || c == U'-') {
        negative = c == U'-';
        pos = next;
        c = peek();
    }
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + 1;
    std::int64_t magnitude = 0;
    for (int digit = digitValue(c); digit >= 0; digit = digitValue(c)) {
        magnitude = std::min(magnitude * 10 + digit, limit);
        pos = next;
        c = peek();
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

} // namespace chengxi::text
