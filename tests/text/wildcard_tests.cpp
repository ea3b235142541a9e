#include "text/wildcard.h"

#include <gtest/gtest.h>

using chengxi::text::matchesWildcard;

TEST(Wildcard, BackupNamesMatchTheirPattern) {
    constexpr const char* pattern = "数据库*年*月*日*.sdb";
    EXPECT_TRUE(matchesWildcard("数据库2015年11月16日10时30分15秒.sdb", pattern));
    EXPECT_TRUE(matchesWildcard("数据库2015年11月16日.sdb", pattern));
    EXPECT_TRUE(matchesWildcard("数据库年月日.sdb", pattern));
    EXPECT_TRUE(matchesWildcard("数据库2015年11月16日.SDB", pattern));
    EXPECT_FALSE(matchesWildcard("数据库.sdb", pattern));
    EXPECT_FALSE(matchesWildcard("数据库2015年11月16日.sdb.bak", pattern));
    EXPECT_FALSE(matchesWildcard("旧数据库2015年11月16日.sdb", pattern));
}

TEST(Wildcard, StarsAndQuestionMarks) {
    EXPECT_TRUE(matchesWildcard("", "*"));
    EXPECT_TRUE(matchesWildcard("abc", "a?c"));
    EXPECT_TRUE(matchesWildcard("图c", "?c"));
    EXPECT_FALSE(matchesWildcard("ac", "a?c"));
    EXPECT_TRUE(matchesWildcard("aXbXc", "a*b*c"));
    EXPECT_FALSE(matchesWildcard("aXbX", "a*b*c"));
    EXPECT_TRUE(matchesWildcard(std::string(2000, 'a') + "b", "*a*a*a*b"));
}
