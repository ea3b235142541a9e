#include "platform/temporary_name.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "store_test_support.h"
#include "support/locking_process.h"
#include "support/short_lock_wait.h"

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
    // Files of the program's temporary pattern: a backup leaves none.
    int temporaryFiles() const {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            count += chengxi::platform::isTemporaryFileName(entry.path().filename().string());
        }
        return count;
    }

    TempDir dir;
    Connection db;
};

TEST_F(BackupTest, CopiesTheOpenDatabaseWhole) {
    const std::string target = dir.file("数据库2015年11月16日.sdb");
    ASSERT_EQ(backupDatabase(db, target), BackupOutcome::Made);
    EXPECT_EQ(titles(target), std::vector<std::string>{"红楼梦"});
    EXPECT_EQ(temporaryFiles(), 0);
    // The connection is still usable.
    ASSERT_TRUE(db.execute("INSERT INTO 图书数据 VALUES (?)", {"水浒传"}));
    ASSERT_EQ(backupDatabase(db, dir.file("数据库2015年11月17日.sdb")), BackupOutcome::Made);
    EXPECT_EQ(titles(dir.file("数据库2015年11月17日.sdb")),
              (std::vector<std::string>{"红楼梦", "水浒传"}));
}

// A taken name, whatever holds it, is stepped over: no backup replaces a file.
TEST_F(BackupTest, ATakenNameGetsTheNextFreeNumber) {
    const std::string target = dir.file("数据库2015年11月16日10时30分.sdb");
    ASSERT_EQ(backupDatabase(db, target), BackupOutcome::Made);
    ASSERT_TRUE(db.execute("DELETE FROM 图书数据"));
    {
        std::ofstream other(dir.at("数据库2015年11月16日10时30分(2).sdb"));
        other << "another file";
    }
    std::filesystem::create_directory(dir.at("数据库2015年11月16日10时30分(3).sdb"));
    ASSERT_EQ(backupDatabase(db, target), BackupOutcome::Made);

    EXPECT_EQ(titles(target), std::vector<std::string>{"红楼梦"});
    EXPECT_EQ(titles(dir.file("数据库2015年11月16日10时30分(4).sdb")), std::vector<std::string>{});
    std::ifstream other(dir.at("数据库2015年11月16日10时30分(2).sdb"));
    std::string content;
    std::getline(other, content);
    EXPECT_EQ(content, "another file");
    EXPECT_EQ(std::filesystem::status(dir.at("数据库2015年11月16日10时30分(4).sdb")).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(BackupTest, AFailedCopyIsAFailure) {
    Connection closed;
    EXPECT_EQ(backupDatabase(closed, dir.file("数据库2015年11月16日.sdb")), BackupOutcome::Failed);
    EXPECT_EQ(backupDatabase(db, dir.file("missing folder/数据库2015年11月16日.sdb")),
              BackupOutcome::Failed);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1)
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
    db.setLockWait(chengxi::testing::kShortLockWait);
    EXPECT_EQ(backupDatabase(db, target), BackupOutcome::DatabaseBusy);
    EXPECT_EQ(temporaryFiles(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.at("数据库2015年11月16日.sdb")));
    other.release();
    ASSERT_EQ(backupDatabase(db, target), BackupOutcome::Made);
    EXPECT_EQ(titles(target), std::vector<std::string>{"红楼梦"});
}

} // namespace
