#include "store/connection.h"
#include "store/record_set.h"
#include "store_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace chengxi::store;

namespace {

class TitleSearchTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.open(file, true));
        ASSERT_TRUE(db.execute("CREATE TABLE 图书数据 (图书编号 TEXT(10), 书名 TEXT(50))"));
        for (const auto& [number, title] : std::vector<std::pair<std::string, std::string>>{
                 {"A1", "红楼梦年谱"}, {"A2", "新编红楼梦"}, {"A3", "文心雕龙"}, {"A4", "Harry"}}) {
            ASSERT_TRUE(db.execute("INSERT INTO 图书数据 VALUES (?, ?)", {number, title}));
        }
        ASSERT_TRUE(db.execute("INSERT INTO 图书数据 VALUES ('A5', NULL)"));
        ASSERT_TRUE(db.execute("INSERT INTO 图书数据 VALUES ('A6', 2015)"));
    }

    std::vector<std::string> numbersWithTitle(const std::string& part) {
        std::vector<std::string> numbers;
        EXPECT_TRUE(
            records.open(db, "SELECT 图书编号 FROM 图书数据 WHERE gbk_contains(书名, ?)", {part}));
        records.toFirst();
        while (records.nextRow()) {
            numbers.push_back(records.read("图书编号"));
        }
        records.close();
        return numbers;
    }

    chengxi::store::testing::TempDir folder;
    std::string file = folder.file("数据库.sdb");
    Connection db;
    RecordSet records;
};

using Numbers = std::vector<std::string>;

TEST_F(TitleSearchTest, MatchesWholeCharactersInTableOrder) {
    EXPECT_EQ(numbersWithTitle("红楼梦"), (Numbers{"A1", "A2"}));
    // LIKE would find 文 in the middle bytes of 梦年.
    EXPECT_EQ(numbersWithTitle("文"), (Numbers{"A3"}));
    EXPECT_EQ(numbersWithTitle("HARRY"), (Numbers{"A4"}));
    EXPECT_EQ(numbersWithTitle("%"), Numbers{});
    EXPECT_EQ(numbersWithTitle("x' or '1'='1"), Numbers{});
}

TEST_F(TitleSearchTest, ANullTitleNeverMatchesAndANumberReadsAsText) {
    EXPECT_EQ(numbersWithTitle(""), (Numbers{"A1", "A2", "A3", "A4", "A6"}));
    EXPECT_EQ(numbersWithTitle("01"), (Numbers{"A6"}));
    ASSERT_TRUE(records.open(db, "SELECT gbk_contains(NULL, 'a'), gbk_contains('a', NULL)"));
    ASSERT_TRUE(records.toFirst());
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read(0), "");
    EXPECT_EQ(records.read(1), "");
}

TEST_F(TitleSearchTest, EveryOpenedConnectionHasTheFunction) {
    ASSERT_TRUE(db.open(file, false));
    EXPECT_EQ(numbersWithTitle("雕龙"), (Numbers{"A3"}));
    Connection inMemory;
    ASSERT_TRUE(inMemory.open("", true));
    EXPECT_TRUE(inMemory.execute("SELECT gbk_contains('ab', 'B')"));
}

} // namespace
