#include "xls/utf16.h"

#include "text/utf8.h"

namespace chengxi::xls {

void Utf16Decoder::add(char16_t unit) {
    if (pendingHigh_ != 0) {
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            const char32_t code = 0x10000 + ((static_cast<char32_t>(pendingHigh_) - 0xD800) << 10) +
                                  (static_cast<char32_t>(unit) - 0xDC00);
            pendingHigh_ = 0;
            text::appendUtf8(out_, code);
            return;
        }
        pendingHigh_ = 0;
        text::appendUtf8(out_, 0xFFFD);
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        pendingHigh_ = unit;
    } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
        text::appendUtf8(out_, 0xFFFD);
    } else if (unit < 0x80) {
        out_.push_back(static_cast<char>(unit));
    } else if (unit < 0x800) {
        out_.push_back(static_cast<char>(0xC0 | (unit >> 6)));
        out_.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    } else {
        out_.push_back(static_cast<char>(0xE0 | (unit >> 12)));
        out_.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
        out_.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
    }
}

void Utf16Decoder::addUnits(const std::uint8_t* littleEndian, std::size_t units) {
    for (std::size_t i = 0; i < units; ++i) {
        add(static_cast<char16_t>(littleEndian[2 * i] | (littleEndian[2 * i + 1] << 8)));
    }
}

void Utf16Decoder::addCompressed(const std::uint8_t* bytes, std::size_t count) {
    if (pendingHigh_ != 0) {
        pendingHigh_ = 0;
        text::appendUtf8(out_, 0xFFFD);
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t byte = bytes[i];
        if (byte < 0x80) {
            out_.push_back(static_cast<char>(byte));
        } else {
            out_.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            out_.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
}

void Utf16Decoder::finish() {
    if (pendingHigh_ != 0) {
        pendingHigh_ = 0;
        text::appendUtf8(out_, 0xFFFD);
    }
}

bool appendUtf16(std::string_view utf8, std::u16string& units) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const unsigned char lead = static_cast<unsigned char>(utf8[pos]);
        if (lead < 0x80) {
            units.push_back(lead);
            ++pos;
            continue;
        }
        const std::size_t start = pos;
        const char32_t code = text::decodeUtf8(utf8, pos);
        // U+FFFD itself is fine; a malformed sequence decodes to it in one byte.
        if (code == 0xFFFD && pos - start != 3) {
            return false;
        }
        if (code >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(code));
        }
    }
    return true;
}

std::optional<std::u16string> toUtf16(std::string_view utf8) {
    std::u16string units;
    units.reserve(utf8.size());
    if (!appendUtf16(utf8, units)) {
        return std::nullopt;
    }
    return units;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') {
            x = static_cast<char>(x - 'a' + 'A');
        }
        if (y >= 'a' && y <= 'z') {
            y = static_cast<char>(y - 'a' + 'A');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

} // namespace chengxi::xls
