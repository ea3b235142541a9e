#pragma once

#include <string_view>

namespace chengxi::text {

// The integer value of a text: optional blanks, an optional sign, then the
// leading decimal digits, where full-width digits (０ to ９) count as digits.
// A text without such a number is 0; values beyond 32 bits saturate.
int integerValue(std::string_view utf8);

} // namespace chengxi::text
