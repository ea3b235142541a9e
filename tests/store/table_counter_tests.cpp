#include "store/connection.h"
#include "store/table_counter.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace chengxi::store;

TEST(TableCounter, RemembersColumnsAndTheCountWhenOpened) {
    Connection db;
    ASSERT_TRUE(db.open(":memory:", true));
    ASSERT_TRUE(db.execute("CREATE TABLE 图书数据 (条形码 TEXT(15), 图书编号 TEXT(10), 书名)"));
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(db.execute("INSERT INTO 图书数据 VALUES (?, ?, ?)",
                               std::vector<std::string>{"b", "A" + std::to_string(i), "书"}));
    }
    ASSERT_TRUE(db.execute("DELETE FROM 图书数据 WHERE 图书编号 = 'A1'"));

    TableCounter counter;
    EXPECT_EQ(counter.rowCount(), 0);
    ASSERT_TRUE(counter.open(db, "图书数据"));
    EXPECT_TRUE(counter.isOpen());
    EXPECT_EQ(counter.table(), "图书数据");
    EXPECT_EQ(counter.rowCount(), 4);
    EXPECT_EQ(counter.columns(), (std::vector<std::string>{"条形码", "图书编号", "书名"}));

    ASSERT_TRUE(db.execute("INSERT INTO 图书数据 VALUES ('x', 'B1', 'y')"));
    EXPECT_EQ(counter.rowCount(), 4) << "not refreshed by later changes";
    ASSERT_TRUE(counter.open(db, "图书数据"));
    EXPECT_EQ(counter.rowCount(), 5);

    counter.close();
    EXPECT_FALSE(counter.isOpen());
    EXPECT_EQ(counter.rowCount(), 0);
    EXPECT_TRUE(counter.columns().empty());
}

TEST(TableCounter, FailureForgetsTheEarlierTable) {
    Connection db;
    TableCounter counter;
    EXPECT_FALSE(counter.open(db, "图书数据")) << "closed connection";
    ASSERT_TRUE(db.open(":memory:", true));
    ASSERT_TRUE(db.execute("CREATE TABLE 空表 (a, b)"));
    ASSERT_TRUE(counter.open(db, "空表"));
    EXPECT_EQ(counter.rowCount(), 0);
    EXPECT_EQ(counter.columns().size(), 2u);

    EXPECT_FALSE(counter.open(db, "不存在"));
    EXPECT_FALSE(counter.isOpen());
    EXPECT_TRUE(counter.columns().empty());
    EXPECT_FALSE(counter.open(db, ""));
    EXPECT_FALSE(counter.open(db, "空表; DROP TABLE 空表"));
    EXPECT_TRUE(counter.open(db, "空表"));
}
