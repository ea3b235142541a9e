#include "library/initialisation.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "store/transaction.h"
#include "store_test_support.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>

using namespace chengxi::store;
using chengxi::library::initialiseDatabase;
using chengxi::library::kDatabaseInUseMessage;
using chengxi::store::testing::TempDir;

namespace {

int countRows(Connection& db) {
    RecordSet records;
    if (!records.open(db, "SELECT * FROM t") || !records.toFirst()) {
        return -1;
    }
    return records.rowCount();
}

class TransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.open(":memory:", true));
        ASSERT_TRUE(db.execute("CREATE TABLE t (a TEXT)"));
    }
    Connection db;
};

TEST_F(TransactionTest, EndingTheScopeWithoutCommitUndoesEverything) {
    {
        Transaction transaction(db);
        ASSERT_TRUE(transaction.began());
        ASSERT_TRUE(db.execute("INSERT INTO t VALUES (?)", {"x"}));
        ASSERT_TRUE(db.execute("INSERT INTO t VALUES (?)", {"y"}));
        EXPECT_FALSE(db.execute("INSERT INTO missing VALUES (1)"));
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(countRows(db), 0);
}

TEST_F(TransactionTest, CommitKeepsTheRowsAndClosesTheTransaction) {
    {
        Transaction transaction(db);
        ASSERT_TRUE(db.execute("INSERT INTO t VALUES (?)", {"x"}));
        EXPECT_TRUE(transaction.commit());
        EXPECT_FALSE(transaction.commit()) << "nothing is left to commit";
    }
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(countRows(db), 1);
    // The next operation can begin its own.
    Transaction next(db);
    EXPECT_TRUE(next.began());
}

TEST_F(TransactionTest, ExplicitRollbackAndAClosedConnection) {
    Transaction transaction(db);
    ASSERT_TRUE(db.execute("INSERT INTO t VALUES (?)", {"x"}));
    transaction.rollback();
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(countRows(db), 0);
    EXPECT_FALSE(transaction.commit());

    Connection closed;
    Transaction none(closed);
    EXPECT_FALSE(none.began());
    EXPECT_FALSE(none.commit());
}

// A second connection in the same file holds the write lock.
class LockedDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("数据库.sdb");
        ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
        ASSERT_EQ(
            sqlite3_exec(other, "CREATE TABLE x (a); BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
            SQLITE_OK);
    }
    void TearDown() override { sqlite3_close(other); }

    TempDir dir;
    std::string path;
    sqlite3* other = nullptr;
};

TEST_F(LockedDatabase, AShortLockIsWaitedOut) {
    std::thread release([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    Connection db;
    const std::vector<std::string> messages = initialiseDatabase(db, path);
    release.join();
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(LockedDatabase, ALastingLockIsReportedOnceAsInUse) {
    Connection db;
    const std::vector<std::string> messages = initialiseDatabase(db, path);
    EXPECT_EQ(messages, std::vector<std::string>{std::string(kDatabaseInUseMessage)});
    EXPECT_TRUE(db.lastFailureWasBusy());
    // Once the other program lets go, the tables can be made.
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    EXPECT_TRUE(initialiseDatabase(db, path).empty());
}

} // namespace
