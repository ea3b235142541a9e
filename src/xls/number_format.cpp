#include "xls/number_format.h"

namespace chengxi::xls {
namespace {

bool isDatePartLetter(char c) {
    switch (c) {
    case 'y':
    case 'Y':
    case 'm':
    case 'M':
    case 'd':
    case 'D':
    case 'h':
    case 'H':
    case 's':
    case 'S':
        return true;
    default:
        return false;
    }
}

// Length of the UTF-8 character starting at `pos`, so that an escaped
// character is skipped whole.
std::size_t characterLength(std::string_view text, std::size_t pos) {
    const unsigned char lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return pos + length <= text.size() ? length : text.size() - pos;
}

bool isElapsedTimeBracket(std::string_view inside) {
    if (inside.empty()) {
        return false;
    }
    for (const char c : inside) {
        if (c != 'h' && c != 'H' && c != 'm' && c != 'M' && c != 's' && c != 'S') {
            return false;
        }
    }
    return true;
}

} // namespace

bool isBuiltInDateFormat(std::uint16_t id) {
    return (id >= 14 && id <= 22) || (id >= 45 && id <= 47) || (id >= 27 && id <= 36) ||
           (id >= 50 && id <= 58);
}

bool isDateFormatCode(std::string_view code) {
    std::size_t pos = 0;
    while (pos < code.size()) {
        const char c = code[pos];
        if (c == '"') {
            const std::size_t close = code.find('"', pos + 1);
            pos = close == std::string_view::npos ? code.size() : close + 1;
        } else if (c == '\\' || c == '_' || c == '*') {
            // The next character is shown, padded or repeated, never a part.
            ++pos;
            if (pos < code.size()) {
                pos += characterLength(code, pos);
            }
        } else if (c == '[') {
            const std::size_t close = code.find(']', pos + 1);
            const std::size_t end = close == std::string_view::npos ? code.size() : close;
            if (isElapsedTimeBracket(code.substr(pos + 1, end - pos - 1))) {
                return true;
            }
            pos = end + 1;
        } else if (isDatePartLetter(c)) {
            return true;
        } else {
            pos += characterLength(code, pos);
        }
    }
    return false;
}

} // namespace chengxi::xls
