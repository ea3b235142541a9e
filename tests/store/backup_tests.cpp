#include "store/backup.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "store_test_support.h"
#include "support/locking_process.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace chengxi::store;
using chengxi::store::testing::TempDir;
using chengxi::testing::LockingProcess;

namespace {

std::vector<std::string> titles(const std::string& file) {
    Connection db;
    RecordSet records;
    std::vector<std::string> found;
    if (db.open(file, false) && records.open(db, "SELECT 书名 FROM 图书数据") &&
        records.toFirst()) {
        while (records.nextRow()) {
            found.push_back(records.read("书名"));
        }
    }
    return found;
}

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(db.open(dir.file("数据库.sdb"), true));
        ASSERT_TRUE(db.execute("CREATE TABLE 图书数据 (书名 TEXT(50))"));
        ASSERT_TRUE(db.execute("INSERT INTO 图书数据 VALUES (?)", {"红楼梦"}));
    }
    TempDir dir;
    Connection db;
};

TEST_F(BackupTest, CopiesTheOpenDatabaseWhole) {
    const std::string target = dir.file("数据库2015年11月16日.sdb");
    ASSERT_EQ(backupDatabase(db, target), BackupOutcome::Made);
    EXPECT_EQ(titles(target), std::vector<std::string>{"红楼梦"});
    EXPECT_FALSE(std::filesystem::exists(dir.at("数据库2015年11月16日.sdb.part")));
    // The connection is still usable, and a second backup replaces the first.
    ASSERT_TRUE(db.execute("INSERT INTO 图书数据 VALUES (?)", {"水浒传"}));
    ASSERT_EQ(backupDatabase(db, target), BackupOutcome::Made);
    EXPECT_EQ(titles(target), (std::vector<std::string>{"红楼梦", "水浒传"}));
}

// An older file of the same name must not pass for this backup.
TEST_F(BackupTest, AFailedCopyIsAFailureWhateverStandsThere) {
    const std::string target = dir.file("数据库2015年11月16日.sdb");
    {
        std::ofstream old(dir.at("数据库2015年11月16日.sdb"));
        old << "an older file";
    }
    Connection closed;
    EXPECT_EQ(backupDatabase(closed, target), BackupOutcome::Failed);
    EXPECT_EQ(backupDatabase(db, dir.file("missing folder/数据库2015年11月16日.sdb")),
              BackupOutcome::Failed);
    std::filesystem::create_directory(dir.at("数据库2015年11月17日.sdb"));
    EXPECT_EQ(backupDatabase(db, dir.file("数据库2015年11月17日.sdb")), BackupOutcome::Failed);

    std::ifstream old(dir.at("数据库2015年11月16日.sdb"));
    std::string content;
    std::getline(old, content);
    EXPECT_EQ(content, "an older file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              3)
        << "no half-made copy is left behind";
}

// The online backup skips the busy handler; the backup waits out another
// program's lock itself, and says when the lock outlasted the wait.
TEST_F(BackupTest, AnotherProgramsLockIsWaitedOutThenSaid) {
    const std::string target = dir.file("数据库2015年11月16日.sdb");
    LockingProcess other(dir.file("数据库.sdb"));
    if (!other.holding()) {
        GTEST_SKIP() << "python3 with sqlite3 is needed to hold the lock";
    }
    EXPECT_EQ(backupDatabase(db, target), BackupOutcome::DatabaseBusy);
    EXPECT_FALSE(std::filesystem::exists(dir.at("数据库2015年11月16日.sdb.part")));
    EXPECT_FALSE(std::filesystem::exists(dir.at("数据库2015年11月16日.sdb")));
    other.release();
    ASSERT_EQ(backupDatabase(db, target), BackupOutcome::Made);
    EXPECT_EQ(titles(target), std::vector<std::string>{"红楼梦"});
}

} // namespace
