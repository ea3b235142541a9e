#pragma once

#include <string_view>

namespace chengxi::store::detail {

// Compares a requested column name with a result column's name, both code page
// 936 bytes: ASCII letters without regard to case, a byte of 0x80 or above
// together with the byte after it, unchanged (a trail byte that happens to be
// an ASCII letter is part of the character, not a letter).
bool sameColumnName(std::string_view requested, std::string_view actual);

} // namespace chengxi::store::detail
