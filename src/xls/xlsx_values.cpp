#include "xls/xlsx_values.h"

#include "text/date_time.h"
#include "text/utf8.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace chengxi::xls {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The code unit of an escape "_xHHHH_" at `pos`.
std::optional<char16_t> escapeAt(std::string_view text, std::size_t pos) {
    if (pos + 7 > text.size() || text[pos] != '_' || text[pos + 1] != 'x' || text[pos + 6] != '_') {
        return std::nullopt;
    }
    unsigned value = 0;
    for (std::size_t i = pos + 2; i < pos + 6; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<unsigned>(digit);
    }
    return static_cast<char16_t>(value);
}

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Reads exactly `count` digits at `pos`.
std::optional<int> digitsAt(std::string_view text, std::size_t& pos, std::size_t count) {
    if (pos + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!isDigit(text[pos + i])) {
            return std::nullopt;
        }
        value = value * 10 + (text[pos + i] - '0');
    }
    pos += count;
    return value;
}

bool takeChar(std::string_view text, std::size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

} // namespace

std::optional<XlsxReference> parseXlsxReference(std::string_view text) {
    XlsxReference reference;
    std::size_t pos = 0;
    std::uint32_t column = 0;
    while (pos < text.size() && pos < 3) {
        const char c = text[pos];
        const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        if (upper < 'A' || upper > 'Z') {
            break;
        }
        column = column * 26 + static_cast<std::uint32_t>(upper - 'A' + 1);
        ++pos;
    }
    if (pos > 0) {
        if (column - 1 > kXlsxLastColumnIndex) {
            return std::nullopt;
        }
        reference.column = column - 1;
    }
    if (pos < text.size()) {
        reference.row = parseXlsxRowNumber(text.substr(pos));
        if (!reference.row) {
            return std::nullopt;
        }
    }
    if (!reference.row && !reference.column) {
        return std::nullopt;
    }
    return reference;
}

std::optional<std::uint32_t> parseXlsxRowNumber(std::string_view text) {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number == 0 ||
        number - 1 > kXlsxLastRowIndex) {
        return std::nullopt;
    }
    return number - 1;
}

void appendUnescapedXlsxText(std::string& out, std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        const void* found = std::memchr(text.data() + pos, '_', text.size() - pos);
        if (found == nullptr) {
            out.append(text.substr(pos));
            return;
        }
        const auto underscore =
            static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
        out.append(text.substr(pos, underscore - pos));
        const std::optional<char16_t> unit = escapeAt(text, underscore);
        if (!unit) {
            out += '_';
            pos = underscore + 1;
            continue;
        }
        pos = underscore + 7;
        char32_t code = *unit;
        if (isHighSurrogate(*unit)) {
            const std::optional<char16_t> low = escapeAt(text, pos);
            if (low && isLowSurrogate(*low)) {
                code = 0x10000 + ((static_cast<char32_t>(*unit) - 0xD800) << 10) +
                       (static_cast<char32_t>(*low) - 0xDC00);
                pos += 7;
            } else {
                code = 0xFFFD;
            }
        } else if (isLowSurrogate(*unit)) {
            code = 0xFFFD;
        }
        text::appendUtf8(out, code);
    }
}

std::optional<double> parseXlsxNumber(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::string> xlsxIsoDateText(std::string_view text) {
    text = trimmed(text);
    std::size_t pos = 0;
    const auto year = digitsAt(text, pos, 4);
    const bool dashed = year && takeChar(text, pos, '-');
    const auto month = dashed ? digitsAt(text, pos, 2) : std::nullopt;
    const bool dashed2 = month && takeChar(text, pos, '-');
    const auto day = dashed2 ? digitsAt(text, pos, 2) : std::nullopt;
    if (!day || !text::isValidDate(*year, *month, *day)) {
        return std::nullopt;
    }
    int hour = 0;
    int minute = 0;
    int second = 0;
    double fraction = 0;
    if (takeChar(text, pos, 'T')) {
        const auto h = digitsAt(text, pos, 2);
        const auto m = h && takeChar(text, pos, ':') ? digitsAt(text, pos, 2) : std::nullopt;
        if (!m || *h > 23 || *m > 59) {
            return std::nullopt;
        }
        hour = *h;
        minute = *m;
        if (takeChar(text, pos, ':')) {
            const auto s = digitsAt(text, pos, 2);
            if (!s || *s > 59) {
                return std::nullopt;
            }
            second = *s;
            if (pos < text.size() && text[pos] == '.') {
                const std::size_t start = pos;
                ++pos;
                while (pos < text.size() && isDigit(text[pos])) {
                    ++pos;
                }
                // "0.5" from ".5"; the digits are known to be plain.
                const std::string digits = "0" + std::string(text.substr(start, pos - start));
                std::from_chars(digits.data(), digits.data() + digits.size(), fraction);
            }
        }
        // A zone names where the time was read, not another time: keep it.
        if (!takeChar(text, pos, 'Z') && pos < text.size() &&
            (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
            const auto zh = digitsAt(text, pos, 2);
            if (!zh || !takeChar(text, pos, ':') || !digitsAt(text, pos, 2)) {
                return std::nullopt;
            }
        }
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    std::int64_t seconds = text::dayNumber(*year, *month, *day) * 86400 + hour * 3600 +
                           minute * 60 + second + std::llround(fraction);
    const std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    seconds -= days * 86400;
    text::DateTime when = text::fromDayNumber(days);
    if (when.year > 9999) {
        return std::nullopt;
    }
    when.hour = static_cast<int>(seconds / 3600);
    when.minute = static_cast<int>(seconds / 60 % 60);
    when.second = static_cast<int>(seconds % 60);
    return text::formatDateTime(when);
}

} // namespace chengxi::xls
