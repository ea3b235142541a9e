#include "text/byte_escape.h"

#include "text/utf8.h"

namespace chengxi::text {

bool endsWithLoneLeadByte(std::string_view utf8) {
    if (utf8.size() < kByteEscapeLength) {
        return false;
    }
    std::size_t pos = utf8.size() - kByteEscapeLength;
    const char32_t last = decodeUtf8(utf8, pos);
    if (pos != utf8.size() || !isByteEscape(last)) {
        return false;
    }
    const unsigned char byte = escapedByte(last);
    return byte >= 0x81 && byte <= 0xFE;
}

} // namespace chengxi::text
