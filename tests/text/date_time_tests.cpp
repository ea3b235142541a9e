#include "text/date_time.h"

#include <gtest/gtest.h>

using namespace chengxi::text;

TEST(DateTimeText, TimePartsFollowTheMidnightAndZeroRules) {
    EXPECT_EQ(formatDateTime({2015, 11, 16, 0, 0, 0}), "2015年11月16日");
    EXPECT_EQ(formatDateTime({2015, 1, 6, 9, 0, 0}), "2015年1月6日9时");
    EXPECT_EQ(formatDateTime({2015, 1, 6, 9, 5, 0}), "2015年1月6日9时5分");
    EXPECT_EQ(formatDateTime({2015, 1, 6, 9, 5, 3}), "2015年1月6日9时5分3秒");
    EXPECT_EQ(formatDateTime({2015, 1, 6, 9, 0, 3}), "2015年1月6日9时0分3秒");
    EXPECT_EQ(formatDateTime({2015, 11, 16, 0, 0, 7}), "2015年11月16日0时0分7秒");
    EXPECT_EQ(formatDateTime({2015, 11, 16, 10, 30, 0}), "2015年11月16日10时30分");
}

TEST(DateTimeText, ParsesEveryFormItWrites) {
    const DateTime samples[] = {{2015, 11, 16, 0, 0, 0},
                                {2015, 1, 6, 9, 0, 0},
                                {2015, 1, 6, 9, 5, 0},
                                {2015, 1, 6, 9, 0, 3},
                                {2000, 2, 29, 23, 59, 59}};
    for (const DateTime& when : samples) {
        EXPECT_EQ(parseDateTime(formatDateTime(when)), when) << formatDateTime(when);
    }
}

TEST(DateTimeText, RejectsMalformedAndImpossibleDates) {
    EXPECT_FALSE(parseDateTime(""));
    EXPECT_FALSE(parseDateTime("2015-11-16"));
    EXPECT_FALSE(parseDateTime("2015年11月"));
    EXPECT_FALSE(parseDateTime("2015年2月29日"));
    EXPECT_FALSE(parseDateTime("2015年13月1日"));
    EXPECT_FALSE(parseDateTime("2015年11月16日x"));
    EXPECT_FALSE(parseDateTime("2015年11月16日25时"));
    EXPECT_FALSE(parseDateTime("2015年11月16日9分"));
    EXPECT_TRUE(parseDateTime("2016年2月29日"));
}

TEST(DateArithmetic, AddDaysRollsOverMonthsAndYears) {
    EXPECT_EQ(addDays({2015, 12, 29}, 5), (DateTime{2016, 1, 3}));
    EXPECT_EQ(addDays({2016, 2, 27}, 2), (DateTime{2016, 2, 29}));
    EXPECT_EQ(addDays({2015, 3, 1}, -1), (DateTime{2015, 2, 28}));
}

TEST(DateArithmetic, DayNumbersMatchKnownDates) {
    EXPECT_EQ(dayNumber(1970, 1, 1), 0);
    EXPECT_EQ(dayNumber(1899, 12, 30), -25569); // the spreadsheet epoch
    EXPECT_EQ(fromDayNumber(dayNumber(2008, 1, 1)), (DateTime{2008, 1, 1}));
    EXPECT_EQ(secondsBetween({2015, 11, 16, 23, 59, 59}, {2015, 11, 17, 0, 0, 1}), 2);
}
