#pragma once

#include "xls/workbook.h"

#include <optional>
#include <string>

// The value-to-text rule: how every workbook cell reads as text.
namespace chengxi::xls {

// Up to 13 significant digits, no trailing zeros, exponent form with a
// three-digit exponent when the decimal exponent is below -4 or at least 13:
// 169, 15.5, 9787538722314, 1.234567890123e+013. A value that is not a
// finite number (no workbook cell holds one) reads as the empty text.
std::string numberText(double value);
void appendNumberText(std::string& out, double value);

// A date serial (days since 1899-12-30, or since 1904-01-01 in the 1904 date
// system) as 2008年1月1日 or 2015年11月9日13时5分, rounded to the nearest
// second. Nothing for a serial before the start of the date system or after
// the year 9999.
std::optional<std::string> dateText(double serial, bool dateMode1904);

// The text of a cell: text unchanged; a number as a date when its format is
// a date format, else as a number; booleans 真 and 假; blank cells and
// error values as the empty text.
std::string cellText(const Workbook& workbook, const Cell& cell);
void appendCellText(std::string& out, const Workbook& workbook, const Cell& cell);

// True when the cell reads as a non-empty text.
bool hasText(const Workbook& workbook, const Cell* cell);

} // namespace chengxi::xls
