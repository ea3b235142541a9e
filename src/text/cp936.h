#pragma once

#include "text/byte_escape.h"

#include <string>
#include <string_view>

namespace chengxi::text {

// Result of encoding UTF-8 text as code page 936 (GBK) bytes.
struct Cp936Bytes {
    std::string bytes;
    // The first character (as UTF-8) that code page 936 cannot hold, or the
    // first malformed UTF-8 bytes; empty when the whole text was encoded.
    std::string unencodable;

    bool ok() const { return unencodable.empty(); }
};

// Strict: never substitutes "?" for a character the code page lacks. A byte
// escape becomes its byte.
Cp936Bytes toCp936(std::string_view utf8);

// The same, appended to `out` so that a caller converting many texts can
// reuse one buffer. Returns the first character code page 936 cannot hold
// (or the first malformed bytes), a view into `utf8`; empty when the whole
// text was encoded. On failure `out` holds the bytes before that character.
std::string_view appendCp936(std::string_view utf8, std::string& out);

// True when every character of the text has a code page 936 form.
bool isCp936Encodable(std::string_view utf8);

// Decodes code page 936 bytes. Each byte that starts no character becomes its
// byte escape, so toCp936 gives back exactly the bytes decoded.
std::string fromCp936(std::string_view bytes);

} // namespace chengxi::text
