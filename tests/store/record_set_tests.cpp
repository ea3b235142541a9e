#include "store/connection.h"
#include "store/record_set.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <vector>

using namespace chengxi::store;

namespace {

class RecordSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.open(":memory:", true));
        ASSERT_TRUE(db.execute("CREATE TABLE 读者数据 (班别 TEXT(20), 姓名 TEXT(20), "
                               "借书证号 TEXT(20))"));
        for (const auto& [group, name, card] : std::vector<std::array<std::string, 3>>{
                 {"一班", "张三", "001"}, {"二班", "李四", "002"}, {"三班", "王五", "003"}}) {
            ASSERT_TRUE(db.execute("INSERT INTO 读者数据 VALUES (?, ?, ?)",
                                   std::vector<std::string>{group, name, card}));
        }
    }
    Connection db;
    RecordSet records;
};

} // namespace

TEST_F(RecordSetTest, CountsThenWalksEveryRowOnce) {
    ASSERT_TRUE(records.open(db, "SELECT 姓名 FROM 读者数据 ORDER BY 借书证号"));
    EXPECT_EQ(records.rowCount(), 0) << "no count before toFirst";
    EXPECT_TRUE(records.atEnd());
    ASSERT_TRUE(records.toFirst());
    EXPECT_EQ(records.rowCount(), 3);
    EXPECT_FALSE(records.atEnd());

    std::vector<std::string> names;
    while (records.nextRow()) {
        names.push_back(records.read("姓名"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"张三", "李四", "王五"}));
    EXPECT_TRUE(records.atEnd());
    EXPECT_FALSE(records.nextRow()) << "an exhausted query does not start over";
    bool rowAvailable = true;
    EXPECT_EQ(records.read("姓名", &rowAvailable), "");
    EXPECT_FALSE(rowAvailable);

    ASSERT_TRUE(records.toFirst());
    EXPECT_EQ(records.rowCount(), 3);
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("姓名", &rowAvailable), "张三");
    EXPECT_TRUE(rowAvailable);

    ASSERT_TRUE(records.open(db, "SELECT 1"));
    EXPECT_EQ(records.rowCount(), 0) << "opening discards the count";
    EXPECT_TRUE(records.atEnd());
    records.close();
    EXPECT_FALSE(records.isOpen());
    EXPECT_FALSE(records.toFirst());
    EXPECT_FALSE(records.nextRow());
}

TEST_F(RecordSetTest, EmptyResultIsASuccessWithNoRows) {
    ASSERT_TRUE(records.open(db, "SELECT * FROM 读者数据 WHERE 借书证号 = ?", {"999"}));
    EXPECT_TRUE(records.toFirst());
    EXPECT_EQ(records.rowCount(), 0);
    EXPECT_TRUE(records.atEnd());
    bool rowAvailable = true;
    EXPECT_EQ(records.read("姓名", &rowAvailable), "");
    EXPECT_FALSE(rowAvailable);
}

TEST_F(RecordSetTest, BoundValuesStayForEveryPass) {
    ASSERT_TRUE(
        records.open(db, "SELECT 姓名 FROM 读者数据 WHERE 借书证号 > ? ORDER BY 1", {"001"}));
    ASSERT_TRUE(records.toFirst());
    ASSERT_EQ(records.rowCount(), 2);
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("姓名"), "李四");
    EXPECT_FALSE(records.open(db, "SELECT 姓名 FROM 读者数据 WHERE 借书证号 > ?"))
        << "a parameter without a value";
    EXPECT_FALSE(records.isOpen());
}

TEST_F(RecordSetTest, FailingQueries) {
    Connection closed;
    EXPECT_FALSE(records.open(closed, "SELECT 1"));
    EXPECT_FALSE(records.open(db, ""));
    EXPECT_FALSE(records.open(db, "SELECT * FROM 不存在"));
    EXPECT_FALSE(records.open(db, "SELECT 1; SELECT 2"));
    EXPECT_FALSE(records.isOpen());
    EXPECT_FALSE(records.toFirst());
    EXPECT_TRUE(records.atEnd());

    // Prepares, but the first step fails.
    ASSERT_TRUE(records.open(db, "SELECT abs(-9223372036854775808)"));
    EXPECT_FALSE(records.toFirst());
    EXPECT_EQ(records.rowCount(), 0);
    EXPECT_TRUE(records.atEnd());

    // Fails after one row: part of a result does not pass for all of it.
    ASSERT_TRUE(db.execute("CREATE TABLE n (v INTEGER)"));
    ASSERT_TRUE(db.execute("INSERT INTO n VALUES (1)"));
    ASSERT_TRUE(db.execute("INSERT INTO n VALUES (-9223372036854775808)"));
    ASSERT_TRUE(records.open(db, "SELECT abs(v) AS v FROM n ORDER BY rowid"));
    EXPECT_FALSE(records.toFirst());
    EXPECT_EQ(records.rowCount(), 0);
    EXPECT_TRUE(records.atEnd());
    EXPECT_FALSE(records.nextRow());
    EXPECT_EQ(records.read("v"), "");
}

TEST_F(RecordSetTest, ColumnNamesIgnoreAsciiCaseFirstMatchWins) {
    ASSERT_TRUE(records.open(db, "SELECT 借书证号 AS CardNo, 姓名, 班别 AS cardno FROM 读者数据 "
                                 "WHERE 借书证号 = '002'"));
    ASSERT_TRUE(records.toFirst());
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("cardno"), "002");
    EXPECT_EQ(records.read("CARDNO"), "002");
    EXPECT_EQ(records.read("姓名"), "李四");
    bool rowAvailable = false;
    EXPECT_EQ(records.read("班别", &rowAvailable), "") << "renamed away";
    EXPECT_TRUE(rowAvailable) << "a row is current even when the column is unknown";
    EXPECT_EQ(records.read("CardN"), "");
    EXPECT_EQ(records.read("😀"), "");
}

TEST_F(RecordSetTest, DoubleByteCharacterIsComparedWhole) {
    // 丄 is GBK 81 41 and 乤 is 81 61: the trail bytes are "A" and "a". They
    // are different characters and must not match each other.
    ASSERT_TRUE(records.open(db, "SELECT 1 AS 乤, 2 AS 丄, 3 AS x乤Y"));
    ASSERT_TRUE(records.toFirst());
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("丄"), "2");
    EXPECT_EQ(records.read("乤"), "1");
    EXPECT_EQ(records.read("X乤y"), "3") << "ASCII letters around it still fold";
    EXPECT_EQ(records.read("X丄y"), "");

    ASSERT_TRUE(records.open(db, "SELECT 1 AS 乤"));
    ASSERT_TRUE(records.toFirst());
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("丄"), "");
}

TEST_F(RecordSetTest, LookupsBelongToTheirQuery) {
    ASSERT_TRUE(records.open(db, "SELECT 1 AS a, 2 AS b"));
    ASSERT_TRUE(records.toFirst());
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("b"), "2");
    EXPECT_EQ(records.read("c"), "");
    ASSERT_TRUE(records.open(db, "SELECT 3 AS c, 4 AS b"));
    ASSERT_TRUE(records.toFirst());
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("b"), "4");
    EXPECT_EQ(records.read("c"), "3");
}

TEST_F(RecordSetTest, NullLongAndQuotedValuesReadAsStored) {
    std::string longTitle;
    for (int i = 0; i < 200; ++i) {
        longTitle += "很长的书名";
    }
    ASSERT_TRUE(db.execute("INSERT INTO 读者数据 (班别, 姓名) VALUES (?, ?)",
                           std::vector<std::string>{longTitle, "O'Brien \"引号\""}));
    ASSERT_TRUE(records.open(db, "SELECT * FROM 读者数据 WHERE 借书证号 IS NULL"));
    ASSERT_TRUE(records.toFirst());
    ASSERT_EQ(records.rowCount(), 1);
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("班别"), longTitle) << "declared TEXT(20), kept whole";
    EXPECT_EQ(records.read("姓名"), "O'Brien \"引号\"");
    bool rowAvailable = false;
    EXPECT_EQ(records.read("借书证号", &rowAvailable), "");
    EXPECT_TRUE(rowAvailable);
    EXPECT_EQ(records.read(2), "");
}

TEST_F(RecordSetTest, PositionalAccessForTools) {
    ASSERT_TRUE(records.open(db, "SELECT 班别, 姓名, 1.5, 7 FROM 读者数据 WHERE 借书证号 = '003'"));
    EXPECT_EQ(records.columnCount(), 4);
    EXPECT_EQ(records.columnName(0), "班别");
    EXPECT_EQ(records.columnName(1), "姓名");
    EXPECT_EQ(records.columnName(4), "");
    EXPECT_EQ(records.read(0), "") << "no row yet";
    ASSERT_TRUE(records.toFirst());
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read(0), "三班");
    EXPECT_EQ(records.read(2), "1.5");
    EXPECT_EQ(records.read(3), "7");
    EXPECT_EQ(records.read(-1), "");
    EXPECT_EQ(records.read(4), "");
    records.close();
    EXPECT_EQ(records.columnCount(), 0);
}

// The query runs once: counting keeps the rows, and reading them does not
// evaluate the statement a second time.
TEST_F(RecordSetTest, ToFirstRunsTheQueryOnceAndKeepsItsRows) {
    int calls = 0;
    sqlite3_create_function(
        db.handle(), "counted", 1, SQLITE_UTF8, &calls,
        [](sqlite3_context* context, int, sqlite3_value** arguments) {
            ++*static_cast<int*>(sqlite3_user_data(context));
            sqlite3_result_value(context, arguments[0]);
        },
        nullptr, nullptr);
    ASSERT_TRUE(
        records.open(db, "SELECT counted(姓名) AS 姓名 FROM 读者数据 WHERE 借书证号 > ?", {"001"}));
    ASSERT_TRUE(records.toFirst());
    EXPECT_EQ(records.rowCount(), 2);
    std::vector<std::string> names;
    while (records.nextRow()) {
        names.push_back(records.read("姓名"));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"李四", "王五"}));
    EXPECT_EQ(calls, 2);
    // Rows kept by the count are not disturbed by a write after it.
    ASSERT_TRUE(records.toFirst());
    ASSERT_TRUE(db.execute("DELETE FROM 读者数据"));
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("姓名"), "李四");
}

// A list that shows a few columns keeps only those: each kept cell is read
// from its own column whatever the order asked, the others read empty, and
// the next plain count keeps every column again.
TEST_F(RecordSetTest, ToFirstKeepsOnlyTheChosenColumns) {
    ASSERT_TRUE(records.open(db, "SELECT * FROM 读者数据 ORDER BY 借书证号"));
    const int card = records.columnOf("借书证号");
    const int group = records.columnOf("班别");
    EXPECT_EQ(records.columnOf("年份"), -1);
    const std::vector<int> kept{card, -1, group, card};
    ASSERT_TRUE(records.toFirst(kept));
    EXPECT_EQ(records.rowCount(), 3);
    ASSERT_TRUE(records.nextRow());
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read(card), "002");
    EXPECT_EQ(records.read(group), "二班");
    EXPECT_EQ(records.read("姓名"), "") << "a column not kept";
    EXPECT_EQ(records.bytes(1), "");

    ASSERT_TRUE(records.toFirst());
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("姓名"), "张三");
}

TEST_F(RecordSetTest, IntegersBindAsNumbers) {
    // typeof() shows the type a parameter arrived with.
    ASSERT_TRUE(records.open(db, "SELECT 姓名, typeof(?) AS t FROM 读者数据 LIMIT ? OFFSET ?",
                             {Value(7), Value(1), Value(2)}));
    ASSERT_TRUE(records.toFirst());
    ASSERT_EQ(records.rowCount(), 1);
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("姓名"), "王五");
    EXPECT_EQ(records.read("t"), "integer");
}
