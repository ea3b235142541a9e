#pragma once

#include <cstddef>
#include <string_view>

namespace chengxi::text {

// A byte from 0x80 that starts no code page 936 character (a title cut inside
// a character, bytes written by other software) decodes to a private code
// point of its own, U+EF00 plus the byte, and encodes back to that byte, so
// such texts travel through the program and back to the database unchanged.
// Code page 936 itself never decodes to U+EF80 to U+EFFF; the screen shows
// these code points as the replacement mark.
inline constexpr char32_t kFirstByteEscape = 0xEF80;
inline constexpr char32_t kLastByteEscape = 0xEFFF;

// Every escape is a three-byte UTF-8 sequence.
inline constexpr std::size_t kByteEscapeLength = 3;

constexpr bool isByteEscape(char32_t code) {
    return code >= kFirstByteEscape && code <= kLastByteEscape;
}
constexpr char32_t byteEscape(unsigned char byte) {
    return 0xEF00 + byte;
}
constexpr unsigned char escapedByte(char32_t escape) {
    return static_cast<unsigned char>(escape - 0xEF00);
}

// Whether the text ends in the escape of a lone lead byte (0x81 to 0xFE): a
// byte such as "|" written after it would be read back as that byte's second
// half.
bool endsWithLoneLeadByte(std::string_view utf8);

} // namespace chengxi::text
