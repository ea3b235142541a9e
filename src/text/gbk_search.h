#pragma once

#include <string_view>

namespace chengxi::text {

// Whether `needle` occurs in `haystack`, both code page 936 (GBK) bytes, on
// whole characters: a match starts and ends on character boundaries and never
// pairs the trail byte of one double-byte character with the lead byte of the
// next. Every byte is literal (no wildcards). ASCII letters match without
// regard to case; the bytes of a double-byte character must be equal, even
// where a trail byte happens to be an ASCII letter. An empty needle occurs in
// every text.
//
// A lead byte (0x81 to 0xFE) starts a double-byte character only when a trail
// byte (0x40 to 0xFE, but not 0x7F) follows; otherwise it stands alone, as the
// decoder shows it.
bool containsGbkText(std::string_view haystack, std::string_view needle);

// Bytes of the character that starts at `position` (1 or 2); 0 at the end.
std::size_t gbkCharacterLength(std::string_view bytes, std::size_t position);

} // namespace chengxi::text
