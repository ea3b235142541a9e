#include "store/connection.h"
#include "store/record_set.h"
#include "store_test_support.h"
#include "support/unprivileged.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace chengxi::store;
using chengxi::store::testing::RawDatabase;
using chengxi::store::testing::TempDir;

namespace {

// Every value of the first column of `sql`, read through the access layer.
std::vector<std::string> readAll(Connection& connection, const std::string& sql,
                                 const std::vector<std::string>& values = {}) {
    std::vector<std::string> rows;
    RecordSet records;
    if (!records.open(connection, sql, values) || !records.toFirst()) {
        return rows;
    }
    while (records.nextRow()) {
        rows.push_back(records.read(0));
    }
    return rows;
}

class InMemory : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.open(":memory:", true));
        ASSERT_TRUE(db.execute("CREATE TABLE 读者数据 (姓名 TEXT(20), 借书证号 TEXT(20))"));
    }
    int readerCount() {
        const std::vector<std::string> count = readAll(db, "SELECT count(*) FROM 读者数据");
        return count.empty() ? -1 : std::stoi(count.front());
    }
    Connection db;
};

} // namespace

TEST(ConnectionOpen, InMemoryOnlyWithCreateAndAnyAsciiCase) {
    Connection db;
    EXPECT_FALSE(db.open(":memory:", false));
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(db.open("", false));
    for (const char* name : {":memory:", ":MEMORY:", ":Memory:", ""}) {
        ASSERT_TRUE(db.open(name, true)) << name;
        EXPECT_TRUE(db.execute("CREATE TABLE t (a)")) << name;
        EXPECT_TRUE(db.close());
        EXPECT_FALSE(db.isOpen());
    }
}

TEST(ConnectionOpen, MemoryNameIsNotAFileInTheWorkingFolder) {
    TempDir dir;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    {
        Connection db;
        ASSERT_TRUE(db.open(":MEMORY:", true));
        ASSERT_TRUE(db.execute("CREATE TABLE t (a)"));
    }
    std::filesystem::current_path(previous);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(ConnectionOpen, MissingFileWithoutCreateFailsAndCreatesNothing) {
    TempDir dir;
    const std::string path = dir.file("数据库.sdb");
    Connection db;
    EXPECT_FALSE(db.open(path, false));
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(std::filesystem::exists(dir.at("数据库.sdb")));

    ASSERT_TRUE(db.open(path, true));
    EXPECT_TRUE(db.execute("CREATE TABLE t (a)"));
    ASSERT_TRUE(db.close());
    EXPECT_TRUE(db.open(path, false));
}

TEST(ConnectionOpen, FolderThatCannotBeWrittenFails) {
    TempDir dir;
    const std::filesystem::path locked = dir.at("locked");
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_exec);
    chengxi::testing::runUnprivileged({locked}, [&] {
        Connection db;
        EXPECT_FALSE(db.open(dir.file("locked/数据库.sdb"), true));
        EXPECT_FALSE(db.isOpen());
    });
}

TEST(ConnectionOpen, NewFileKeepsTheRollbackJournalAndLegacyFormat) {
    TempDir dir;
    const std::string path = dir.file("数据库.sdb");
    {
        Connection db;
        ASSERT_TRUE(db.open(path, true));
        ASSERT_TRUE(db.execute("CREATE TABLE t (a TEXT(5))"));
        ASSERT_TRUE(db.execute("INSERT INTO t VALUES (?)", std::vector<std::string>{"x"}));
    }
    std::ifstream file(dir.at("数据库.sdb"), std::ios::binary);
    std::string header(100, '\0');
    file.read(header.data(), 100);
    ASSERT_EQ(header.substr(0, 16), std::string("SQLite format 3\0", 16));
    EXPECT_EQ(header[18], 1) << "write version: 1 is the rollback journal, 2 is WAL";
    EXPECT_EQ(header[19], 1) << "read version";
    EXPECT_EQ(header[47], 1) << "schema format 1, which SQLite before 3.3.0 reads";
    EXPECT_EQ(header[59], 1) << "text encoding UTF-8";
    EXPECT_FALSE(std::filesystem::exists(dir.at("数据库.sdb-wal")));
}

// The library is the user's alone, and so is the journal, which SQLite makes
// with the database's own permissions while a change is written.
TEST(ConnectionOpen, ANewFileAndItsJournalAreTheUsersAlone) {
    TempDir dir;
    Connection db;
    ASSERT_TRUE(db.open(dir.file("数据库.sdb"), true));
    ASSERT_TRUE(db.execute("CREATE TABLE t (a TEXT(5))"));
    ASSERT_TRUE(db.beginTransaction());
    ASSERT_TRUE(db.execute("INSERT INTO t VALUES (?)", std::vector<std::string>{"x"}));
    const auto alone = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    EXPECT_EQ(std::filesystem::status(dir.at("数据库.sdb")).permissions(), alone);
    EXPECT_EQ(std::filesystem::status(dir.at("数据库.sdb-journal")).permissions(), alone);
    EXPECT_TRUE(db.commitTransaction());
}

// A program killed inside a transaction, before its commit began, leaves a
// journal without a header: not hot, so the data is whole, but the file must
// not stay beside the database for ever.
TEST(ConnectionOpen, AJournalThatIsNotHotIsRemovedAndTheDataKept) {
    TempDir dir;
    const std::string path = dir.file("数据库.sdb");
    {
        Connection db;
        ASSERT_TRUE(db.open(path, true));
        ASSERT_TRUE(db.execute("CREATE TABLE t (a TEXT(5))"));
        ASSERT_TRUE(db.execute("INSERT INTO t VALUES ('kept')"));
    }
    std::ofstream(dir.at("数据库.sdb-journal"), std::ios::binary) << std::string(512, '\0');
    {
        Connection db;
        ASSERT_TRUE(db.open(path, true));
        EXPECT_FALSE(std::filesystem::exists(dir.at("数据库.sdb-journal")));
        EXPECT_EQ(readAll(db, "SELECT a FROM t"), std::vector<std::string>{"kept"});
    }
}

TEST(ConnectionOpen, ChineseNamesAndValuesReadBackFromAReopenedFile) {
    TempDir dir;
    const std::string path = dir.file("数据库.sdb");
    {
        Connection db;
        ASSERT_TRUE(db.open(path, true));
        ASSERT_TRUE(db.execute("CREATE TABLE 图书数据 (书名 TEXT(50), 著译者 TEXT(20))"));
        ASSERT_TRUE(db.execute("INSERT INTO 图书数据 (书名, 著译者) VALUES (?, ?)",
                               std::vector<std::string>{"红楼梦（第一卷）", "曹雪芹"}));
    }
    RawDatabase raw(path);
    ASSERT_TRUE(raw.ok());
    EXPECT_EQ(raw.column("SELECT name FROM sqlite_master"),
              std::vector<std::string>{"\xCD\xBC\xCA\xE9\xCA\xFD\xBE\xDD"});
    EXPECT_EQ(raw.column("SELECT \xCA\xE9\xC3\xFB FROM \xCD\xBC\xCA\xE9\xCA\xFD\xBE\xDD"),
              std::vector<std::string>{"\xBA\xEC\xC2\xA5\xC3\xCE\xA3\xA8\xB5\xDA\xD2\xBB\xBE\xED"
                                       "\xA3\xA9"});

    Connection db;
    ASSERT_TRUE(db.open(path, false));
    EXPECT_EQ(readAll(db, "SELECT 著译者 FROM 图书数据 WHERE 书名 = ?", {"红楼梦（第一卷）"}),
              std::vector<std::string>{"曹雪芹"});
}

TEST(ConnectionClose, BusyWhileAQueryIsOpenAndFreeAfterwards) {
    Connection db;
    EXPECT_TRUE(db.close()) << "closing a closed connection";
    ASSERT_TRUE(db.open(":memory:", true));
    RecordSet records;
    ASSERT_TRUE(records.open(db, "SELECT 1"));
    EXPECT_FALSE(db.close());
    EXPECT_TRUE(db.isOpen());
    EXPECT_TRUE(db.execute("CREATE TABLE t (a)")) << "a busy close leaves the connection usable";
    records.close();
    EXPECT_TRUE(db.close());
    EXPECT_FALSE(db.isOpen());
    EXPECT_FALSE(db.execute("CREATE TABLE u (a)"));
}

TEST(ConnectionClose, QueryOutlivingItsConnectionIsSafe) {
    RecordSet records;
    {
        Connection db;
        ASSERT_TRUE(db.open(":memory:", true));
        ASSERT_TRUE(records.open(db, "SELECT 1"));
    }
    records.close();
    EXPECT_FALSE(records.isOpen());
}

TEST_F(InMemory, ExecuteRunsExactlyOneStatement) {
    EXPECT_FALSE(db.execute(""));
    EXPECT_FALSE(db.execute("   ;  "));
    EXPECT_FALSE(db.execute("INSERT INTO 读者数据 VALUES ('甲', '1'); DELETE FROM 读者数据"));
    EXPECT_FALSE(db.execute("INSERT INTO 读者数据 VALUES ('甲', '1'); garbage"));
    EXPECT_EQ(readerCount(), 0) << "a refused text runs nothing";

    EXPECT_TRUE(db.execute("INSERT INTO 读者数据 VALUES ('甲', '1') ;; -- note\n "));
    EXPECT_TRUE(db.execute("INSERT INTO 读者数据 VALUES ('乙', '2') /* note */"));
    EXPECT_EQ(readerCount(), 2);
    EXPECT_FALSE(db.execute("INSERT INTO 不存在 VALUES (1)"));
    EXPECT_FALSE(db.execute("INSERT INTO 读者数据 VALUES (?, ?) ; SELECT 1",
                            std::vector<std::string>{"丙", "3"}));
    EXPECT_EQ(readerCount(), 2);
}

TEST_F(InMemory, ValuesAreBoundNeverPasted) {
    const std::string insert = "INSERT INTO 读者数据 (姓名, 借书证号) VALUES (?, ?)";
    ASSERT_TRUE(db.execute(insert, std::vector<std::string>{"O'Brien", "1"}));
    ASSERT_TRUE(db.execute(insert, std::vector<std::string>{"张三", "2"}));
    const std::string find = "SELECT 借书证号 FROM 读者数据 WHERE 姓名 = ?";
    EXPECT_EQ(readAll(db, find, {"O'Brien"}), std::vector<std::string>{"1"});
    EXPECT_TRUE(readAll(db, find, {"' or '1'='1"}).empty());
    EXPECT_TRUE(db.execute("DELETE FROM 读者数据 WHERE 姓名 = ?",
                           std::vector<std::string>{"x'); DELETE FROM 读者数据; --"}));
    EXPECT_EQ(readerCount(), 2);

    EXPECT_FALSE(db.execute(insert, std::vector<std::string>{"only one"}));
    EXPECT_FALSE(db.execute(insert, std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(readerCount(), 2) << "a wrong number of values runs nothing";
}

TEST_F(InMemory, UnencodableTextIsRefusedAndNothingStored) {
    const std::string insert = "INSERT INTO 读者数据 (姓名, 借书证号) VALUES (?, ?)";
    EXPECT_FALSE(db.execute(insert, std::vector<std::string>{"表情😀", "1"}));
    EXPECT_FALSE(db.execute(insert, std::vector<std::string>{"한국", "2"}));
    EXPECT_FALSE(db.execute("INSERT INTO 读者数据 (姓名) VALUES ('😀')"));
    EXPECT_EQ(readerCount(), 0);
    RecordSet records;
    EXPECT_FALSE(records.open(db, "SELECT * FROM 读者数据 WHERE 姓名 = ?", {"😀"}));
}

TEST_F(InMemory, RepeatedStatementStaysCorrectAcrossValues) {
    // The prepared statement is reused: every execute must bind its own values.
    const std::string insert = "INSERT INTO 读者数据 (姓名, 借书证号) VALUES (?, ?)";
    ASSERT_TRUE(db.beginTransaction());
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(db.execute(
            insert, std::vector<std::string>{"读者" + std::to_string(i), std::to_string(i)}));
        // Other statements in between push it around the cache.
        ASSERT_TRUE(db.execute("UPDATE 读者数据 SET 借书证号 = 借书证号 WHERE 姓名 = ?",
                               std::vector<std::string>{std::to_string(i)}));
    }
    ASSERT_TRUE(db.commitTransaction());
    EXPECT_EQ(readerCount(), 300);
    EXPECT_EQ(readAll(db, "SELECT 姓名 FROM 读者数据 WHERE 借书证号 = ?", {"123"}),
              std::vector<std::string>{"读者123"});
    EXPECT_EQ(readAll(db, "SELECT count(*) FROM 读者数据 WHERE 姓名 IS NULL"),
              std::vector<std::string>{"0"});
}

TEST_F(InMemory, RollbackUndoesAndIsHarmlessWithoutATransaction) {
    EXPECT_FALSE(db.inTransaction());
    EXPECT_TRUE(db.rollbackTransaction());
    ASSERT_TRUE(db.execute("INSERT INTO 读者数据 VALUES ('甲', '1')"));

    ASSERT_TRUE(db.beginTransaction());
    EXPECT_TRUE(db.inTransaction());
    ASSERT_TRUE(db.execute("INSERT INTO 读者数据 VALUES ('乙', '2')"));
    ASSERT_TRUE(db.execute("DELETE FROM 读者数据 WHERE 姓名 = '甲'"));
    EXPECT_TRUE(db.rollbackTransaction());
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(readAll(db, "SELECT 姓名 FROM 读者数据"), std::vector<std::string>{"甲"});
    EXPECT_TRUE(db.rollbackTransaction());

    ASSERT_TRUE(db.beginTransaction());
    ASSERT_TRUE(db.execute("INSERT INTO 读者数据 VALUES ('丙', '3')"));
    EXPECT_TRUE(db.commitTransaction());
    EXPECT_FALSE(db.commitTransaction()) << "nothing left to commit";
    EXPECT_EQ(readerCount(), 2);
}

TEST_F(InMemory, TransactionLeftOpenByAFailureCanBeRolledBack) {
    ASSERT_TRUE(db.beginTransaction());
    ASSERT_TRUE(db.execute("INSERT INTO 读者数据 VALUES ('甲', '1')"));
    EXPECT_FALSE(db.execute("INSERT INTO 读者数据 VALUES ('乙')"));
    EXPECT_FALSE(
        db.execute("INSERT INTO 读者数据 VALUES (?, ?)", std::vector<std::string>{"😀", "2"}));
    EXPECT_FALSE(db.beginTransaction()) << "no nested transactions";
    ASSERT_TRUE(db.inTransaction());
    // A query still being read does not stand in the way.
    RecordSet records;
    ASSERT_TRUE(records.open(db, "SELECT 姓名 FROM 读者数据"));
    ASSERT_TRUE(records.nextRow());
    EXPECT_TRUE(db.rollbackTransaction());
    records.close();
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(readerCount(), 0);
    EXPECT_TRUE(db.beginTransaction()) << "the connection is usable again";
    EXPECT_TRUE(db.rollbackTransaction());
}

TEST(ConnectionTransaction, ClosedConnectionRefusesWork) {
    Connection db;
    EXPECT_FALSE(db.beginTransaction());
    EXPECT_FALSE(db.commitTransaction());
    EXPECT_TRUE(db.rollbackTransaction());
    EXPECT_FALSE(db.inTransaction());
    EXPECT_FALSE(db.execute("SELECT 1"));
}

TEST(ConnectionReopen, OpeningAgainDropsTheEarlierDatabase) {
    TempDir dir;
    Connection db;
    ASSERT_TRUE(db.open(dir.file("一.sdb"), true));
    ASSERT_TRUE(db.execute("CREATE TABLE 甲 (a)"));
    ASSERT_TRUE(db.execute("INSERT INTO 甲 VALUES (1)"));
    ASSERT_TRUE(db.open(dir.file("二.sdb"), true));
    // The cached INSERT belonged to the first file and must not run here.
    EXPECT_FALSE(db.execute("INSERT INTO 甲 VALUES (1)"));
    EXPECT_TRUE(readAll(db, "SELECT name FROM sqlite_master").empty());
}
