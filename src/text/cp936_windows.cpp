// Code page 936 through the Windows code-page API.
#include "text/cp936.h"
#include "text/utf8.h"

#include <windows.h>

namespace chengxi::text {
namespace {

constexpr UINT kCp936 = 936;

// Windows maps the user-defined areas of code page 936 (AAA1-AFFE, F8A1-FEFE,
// A140-A7A0), the pairs GBK leaves undefined among the symbols and 0xFF to
// the private use area; iconv's GBK table, the program's code page on every
// other platform, has none of them. Refusing them here makes both read and
// write the same bytes: those bytes decode to byte escapes, and a private
// character other than an escape is not encodable.
constexpr bool isPrivateUse(char32_t code) {
    return code >= 0xE000 && code <= 0xF8FF;
}

std::wstring toWide(std::string_view utf8) {
    std::wstring wide;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = decodeUtf8(utf8, pos);
        if (c >= 0x10000) {
            wide += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<wchar_t>(c);
        }
    }
    return wide;
}

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string_view appendCp936(std::string_view utf8, std::string& out) {
    if (isAscii(utf8)) {
        out += utf8;
        return {};
    }
    // Character by character, so the first one the code page lacks can be named.
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const char32_t c = decodeUtf8(utf8, pos);
        const std::string_view character = utf8.substr(start, pos - start);
        if (c == 0xFFFD && character != "\xEF\xBF\xBD") {
            return character;
        }
        if (isByteEscape(c)) {
            out += static_cast<char>(escapedByte(c));
            continue;
        }
        if (isPrivateUse(c)) {
            return character;
        }
        const std::wstring wide = toWide(character);
        char buffer[8];
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(kCp936, WC_NO_BEST_FIT_CHARS, wide.data(),
                                          static_cast<int>(wide.size()), buffer, sizeof buffer,
                                          nullptr, &usedDefault);
        if (n <= 0 || usedDefault) {
            return character;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    return {};
}

Cp936Bytes toCp936(std::string_view utf8) {
    Cp936Bytes result;
    result.unencodable = appendCp936(utf8, result.bytes);
    return result;
}

bool isCp936Encodable(std::string_view utf8) {
    return toCp936(utf8).ok();
}

std::string fromCp936(std::string_view bytes) {
    if (isAscii(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        const std::size_t length = (lead >= 0x81 && lead <= 0xFE && i + 1 < bytes.size()) ? 2 : 1;
        wchar_t wide[2];
        const int n = MultiByteToWideChar(kCp936, MB_ERR_INVALID_CHARS, bytes.data() + i,
                                          static_cast<int>(length), wide, 2);
        if (n == 1 && !isPrivateUse(wide[0])) {
            appendUtf8(out, wide[0]);
            i += length;
        } else {
            // A byte that starts no character keeps its value as its escape,
            // and the next byte is read afresh.
            appendUtf8(out, byteEscape(lead));
            ++i;
        }
    }
    return out;
}

} // namespace chengxi::text
