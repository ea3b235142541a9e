// The value-to-text rule and the recognition of date formats.
#include "xls/cell_text.h"
#include "xls/number_format.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace chengxi::xls;

TEST(NumberText, ThirteenSignificantDigitsWithoutTrailingZeros) {
    EXPECT_EQ(numberText(169), "169");
    EXPECT_EQ(numberText(15.5), "15.5");
    EXPECT_EQ(numberText(15.0), "15");
    EXPECT_EQ(numberText(9787538722314.0), "9787538722314");
    EXPECT_EQ(numberText(1.0 / 3.0), "0.3333333333333");
    EXPECT_EQ(numberText(-23.8), "-23.8");
    EXPECT_EQ(numberText(0.0001), "0.0001");
    EXPECT_EQ(numberText(0.0), "0");
    EXPECT_EQ(numberText(-0.0), "0");
}

TEST(NumberText, ExponentFormHasThreeDigits) {
    EXPECT_EQ(numberText(12345678901234.0), "1.234567890123e+013");
    EXPECT_EQ(numberText(1e13), "1e+013");
    EXPECT_EQ(numberText(0.00001), "1e-005");
    EXPECT_EQ(numberText(-2.5e-7), "-2.5e-007");
    EXPECT_EQ(numberText(1e100), "1e+100");
    EXPECT_EQ(numberText(1.5e-300), "1.5e-300");
}

TEST(NumberText, NotANumberReadsEmpty) {
    EXPECT_EQ(numberText(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(numberText(std::numeric_limits<double>::infinity()), "");
}

TEST(DateText, DatesAndTimesRoundToTheNearestSecond) {
    EXPECT_EQ(dateText(39448, false), "2008年1月1日");
    EXPECT_EQ(dateText(42317, false), "2015年11月9日");
    // 13:05 as a spreadsheet stores it, a hair short of the minute.
    EXPECT_EQ(dateText(42317.54513888888, false), "2015年11月9日13时5分");
    EXPECT_EQ(dateText(42317.54521990741, false), "2015年11月9日13时5分7秒");
    EXPECT_EQ(dateText(42317.5, false), "2015年11月9日12时");
    EXPECT_EQ(dateText(42317.500011574, false), "2015年11月9日12时0分1秒");
    // Half a second before midnight rounds into the next day.
    EXPECT_EQ(dateText(42317.9999999, false), "2015年11月10日");
    EXPECT_EQ(dateText(60, false), "1900年2月28日");
    EXPECT_EQ(dateText(61, false), "1900年3月1日");
}

TEST(DateText, The1904DateSystem) {
    EXPECT_EQ(dateText(0, true), "1904年1月1日");
    EXPECT_EQ(dateText(39448 - 1462, true), "2008年1月1日");
}

TEST(DateText, OutOfRangeSerialsAreNotDates) {
    EXPECT_FALSE(dateText(-1, false));
    EXPECT_FALSE(dateText(2958466, false));
    EXPECT_FALSE(dateText(std::nan(""), false));
    EXPECT_TRUE(dateText(2958465.5, false));
}

TEST(CellText, EachKindOfCell) {
    Workbook book;
    book.styles.resize(17);
    book.styles[16].numberFormat = 14;
    book.refreshDateStyles();
    const std::uint32_t text = book.strings.add("红楼梦");
    EXPECT_EQ(cellText(book, Cell::ofText(0, 0, 15, text)), "红楼梦");
    EXPECT_EQ(cellText(book, Cell::ofNumber(0, 0, 15, 42317)), "42317");
    EXPECT_EQ(cellText(book, Cell::ofNumber(0, 0, 16, 42317)), "2015年11月9日");
    EXPECT_EQ(cellText(book, Cell::ofNumber(0, 0, 16, -5)), "-5"); // not a date: the number
    EXPECT_EQ(cellText(book, Cell::ofBoolean(0, 0, 15, true)), "真");
    EXPECT_EQ(cellText(book, Cell::ofBoolean(0, 0, 15, false)), "假");
    EXPECT_EQ(cellText(book, Cell::ofError(0, 0, 15, 0x07)), "");
    EXPECT_EQ(cellText(book, Cell::blank(0, 0, 16)), "");
    // A style the workbook does not have is an ordinary number format.
    EXPECT_EQ(cellText(book, Cell::ofNumber(0, 0, 999, 1.5)), "1.5");
}

TEST(DateFormats, BuiltInIdsIncludeTheChineseLocale) {
    for (const std::uint16_t id : {14, 15, 17, 20, 22, 27, 31, 36, 45, 47, 50, 55, 58}) {
        EXPECT_TRUE(isBuiltInDateFormat(id)) << id;
    }
    for (const std::uint16_t id : {0, 1, 2, 4, 9, 11, 13, 23, 26, 37, 44, 48, 49, 59, 164}) {
        EXPECT_FALSE(isBuiltInDateFormat(id)) << id;
    }
}

TEST(DateFormats, CustomCodesWithDateOrTimeParts) {
    for (const char* code :
         {"yyyy-mm-dd", "yyyy\\-mm\\-dd", "yyyy-m", "yyyy\"年\"m\"月\"d\"日\"",
          "yyyy-mm-dd hh:mm:ss", "h:mm AM/PM", "[h]:mm:ss", "[$-804]yyyy年m月d日", "[Red][<100]d/m",
          "mm:ss.0", "D-MMM-YY", "yyyy年m月d日"}) {
        EXPECT_TRUE(isDateFormatCode(code)) << code;
    }
}

TEST(DateFormats, NumberCodesIgnoreQuotedEscapedAndBracketedLetters) {
    for (const char* code :
         {"General", "G/通用格式", "0.00", "000000000", "#,##0.00_);[Red]\\(#,##0.00\\)",
          "0.00\"days\"", "0\\d", "[Red]0.00", "[<=100]0;[>100]0.0", "@", "0.00E+00",
          "_-* #,##0_-;\\-* #,##0_-;_-* \"-\"_-;_-@_-", "[$-804]0.00", "* 0", "_h0", "\"hms\"0",
          ""}) {
        EXPECT_FALSE(isDateFormatCode(code)) << code;
    }
}
