#include "store/backup.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "store_test_support.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace chengxi::store;
using chengxi::store::testing::TempDir;

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
    ASSERT_TRUE(backupDatabase(db, target));
    EXPECT_EQ(titles(target), std::vector<std::string>{"红楼梦"});
    EXPECT_FALSE(std::filesystem::exists(dir.at("数据库2015年11月16日.sdb.part")));
    // The connection is still usable, and a second backup replaces the first.
    ASSERT_TRUE(db.execute("INSERT INTO 图书数据 VALUES (?)", {"水浒传"}));
    ASSERT_TRUE(backupDatabase(db, target));
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
    EXPECT_FALSE(backupDatabase(closed, target));
    EXPECT_FALSE(backupDatabase(db, dir.file("missing folder/数据库2015年11月16日.sdb")));
    std::filesystem::create_directory(dir.at("数据库2015年11月17日.sdb"));
    EXPECT_FALSE(backupDatabase(db, dir.file("数据库2015年11月17日.sdb")));

    std::ifstream old(dir.at("数据库2015年11月16日.sdb"));
    std::string content;
    std::getline(old, content);
    EXPECT_EQ(content, "an older file");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              3)
        << "no half-made copy is left behind";
}

} // namespace
