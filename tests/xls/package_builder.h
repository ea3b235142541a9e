#pragma once

#include <map>
#include <string>

// Small .xlsx packages built in memory, for the reader's tests and fuzz
// target: a sound workbook whose parts a test replaces one by one.
namespace chengxi::xls::testing {

// Part name -> content; std::map keeps the archive's order stable.
using PackageParts = std::map<std::string, std::string>;

// A workbook with one sheet "Sheet1" holding `sheetData` (the rows, as XML),
// a shared-string table of `sharedStrings` (<si> elements) and the styles:
// cell format 1 is a date (built-in 14), 2 a custom date, 3 "0.00".
PackageParts soundPackage(const std::string& sheetData, const std::string& sharedStrings = "");

// The worksheet part around `sheetData`.
std::string worksheetXml(const std::string& sheetData);

// The zip archive of the parts; `stored` leaves them uncompressed. Empty
// when libzip fails.
std::string zipPackage(const PackageParts& parts, bool stored = false);

} // namespace chengxi::xls::testing
