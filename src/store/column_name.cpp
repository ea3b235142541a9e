#include "store/column_name.h"

namespace chengxi::store::detail {
namespace {

unsigned char lowerAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

} // namespace

bool sameColumnName(std::string_view requested, std::string_view actual) {
    if (requested.size() != actual.size()) {
        return false;
    }
    std::size_t i = 0;
    while (i < requested.size()) {
        const auto a = static_cast<unsigned char>(requested[i]);
        const auto b = static_cast<unsigned char>(actual[i]);
        if (a >= 0x80) {
            const std::size_t width = (i + 1 < requested.size()) ? 2 : 1;
            if (requested.substr(i, width) != actual.substr(i, width)) {
                return false;
            }
            i += width;
        } else {
            if (lowerAscii(a) != lowerAscii(b)) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

} // namespace chengxi::store::detail
