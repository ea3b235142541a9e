#include "text/gbk_search.h"

namespace chengxi::text {
namespace {

bool isLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool isTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

unsigned char foldAscii(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

// Whether the needle's characters stand in the haystack from `start` on, one
// for one.
bool matchesAt(std::string_view haystack, std::size_t start, std::string_view needle) {
    std::size_t h = start;
    std::size_t n = 0;
    while (n < needle.size()) {
        const std::size_t width = gbkCharacterLength(needle, n);
        if (gbkCharacterLength(haystack, h) != width) {
            return false; // also at the haystack's end, where the length is 0
        }
        if (width == 1) {
            if (foldAscii(static_cast<unsigned char>(haystack[h])) !=
                foldAscii(static_cast<unsigned char>(needle[n]))) {
                return false;
            }
        } else if (haystack.substr(h, 2) != needle.substr(n, 2)) {
            return false;
        }
        h += width;
        n += width;
    }
    return true;
}

} // namespace

std::size_t gbkCharacterLength(std::string_view bytes, std::size_t position) {
    if (position >= bytes.size()) {
        return 0;
    }
    if (isLeadByte(static_cast<unsigned char>(bytes[position])) && position + 1 < bytes.size() &&
        isTrailByte(static_cast<unsigned char>(bytes[position + 1]))) {
        return 2;
    }
    return 1;
}

bool containsGbkText(std::string_view haystack, std::string_view needle) {
    if (needle.empty()) {
        return true;
    }
    // Every candidate start is a character boundary of the haystack.
    for (std::size_t start = 0; haystack.size() - start >= needle.size();
         start += gbkCharacterLength(haystack, start)) {
        if (matchesAt(haystack, start, needle)) {
            return true;
        }
    }
    return false;
}

} // namespace chengxi::text
