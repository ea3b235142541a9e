#include "text/integer_value.h"

#include <gtest/gtest.h>

using chengxi::text::integerValue;

TEST(IntegerValue, LeadingDigitsAfterBlanksAndSign) {
    EXPECT_EQ(integerValue("500"), 500);
    EXPECT_EQ(integerValue("  42abc"), 42);
    EXPECT_EQ(integerValue("\t-17"), -17);
    EXPECT_EQ(integerValue("+8"), 8);
    EXPECT_EQ(integerValue("1 2"), 1);
    EXPECT_EQ(integerValue("007"), 7);
}

TEST(IntegerValue, TextWithoutNumberIsZero) {
    EXPECT_EQ(integerValue(""), 0);
    EXPECT_EQ(integerValue("abc"), 0);
    EXPECT_EQ(integerValue("-"), 0);
    EXPECT_EQ(integerValue("- 5"), 0);
    EXPECT_EQ(integerValue("年2015"), 0);
}

TEST(IntegerValue, FullWidthDigitsCount) {
    EXPECT_EQ(integerValue("２０１５"), 2015);
    EXPECT_EQ(integerValue("1０0"), 100);
    EXPECT_EQ(integerValue(" -３行"), -3);
}

TEST(IntegerValue, SaturatesBeyondThirtyTwoBits) {
    EXPECT_EQ(integerValue("2147483647"), 2147483647);
    EXPECT_EQ(integerValue("99999999999999999999"), 2147483647);
    EXPECT_EQ(integerValue("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(integerValue("-99999999999"), -2147483647 - 1);
}
