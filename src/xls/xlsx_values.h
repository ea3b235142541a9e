#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The small value forms of Office Open XML worksheets.
namespace chengxi::xls {

// The last row and column index an .xlsx sheet holds (1,048,576 rows,
// columns A to XFD).
inline constexpr std::uint32_t kXlsxLastRowIndex = 1048575;
inline constexpr std::uint32_t kXlsxLastColumnIndex = 16383;

// A cell reference split into its parts, 0-based; either may be missing
// ("B" alone, "7" alone in a row's own reference).
struct XlsxReference {
    std::optional<std::uint32_t> row;
    std::optional<std::uint32_t> column;
};

// "A1", "xfd1048576": column letters, then the 1-based row. Nothing when
// the text is neither or lies outside the sheet.
std::optional<XlsxReference> parseXlsxReference(std::string_view text);

// A row number attribute ("1" to "1048576") as a 0-based index.
std::optional<std::uint32_t> parseXlsxRowNumber(std::string_view text);

// Appends an XML string value with Excel's escapes undone: "_x000D_" is a
// carriage return, "_x005F_" a literal underscore; surrogate pairs written
// as two escapes make one character.
void appendUnescapedXlsxText(std::string& out, std::string_view text);

// The number a cell value holds ("15", "-2.5E-3"); blanks around it
// ignored. Nothing for anything else.
std::optional<double> parseXlsxNumber(std::string_view text);

// The program's date text of an ISO 8601 date or date-time
// ("2015-11-09", "2015-11-09T13:05:00.5Z"), seconds rounded to the nearest.
std::optional<std::string> xlsxIsoDateText(std::string_view text);

} // namespace chengxi::xls
