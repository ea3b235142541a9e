#pragma once

#include <cstdint>
#include <string_view>

// Which number formats show a cell's number as a date or time. The value
// is then read as a date, whatever parts the format shows.
namespace chengxi::xls {

// The built-in formats that are dates or times: 14 to 22 and 45 to 47
// everywhere, and 27 to 36 and 50 to 58 as a Chinese-locale Excel defines
// them (yyyy"年"m"月"d"日" and the like), which a file may use without
// writing their format record.
bool isBuiltInDateFormat(std::uint16_t id);

// True when a format code has a date or time part (y, m, d, h, s, or an
// elapsed-time bracket such as [h]) outside quoted text, escaped
// characters and colour, condition or locale brackets.
bool isDateFormatCode(std::string_view code);

} // namespace chengxi::xls
