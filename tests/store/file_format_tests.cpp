// The database files stay readable by SQLite releases before 3.3.0: schema
// format 1 and the rollback journal, in new files and in their backups,
// while files made by earlier builds (schema format 4) keep working.
#include "library/initialisation.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "store/schema.h"
#include "store_test_support.h"

#include <array>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace chengxi::store;
using chengxi::library::initialiseDatabase;
using chengxi::store::testing::TempDir;

namespace {

struct Header {
    int writeVersion = -1; // byte 18: 1 rollback journal, 2 WAL
    int readVersion = -1;  // byte 19
    std::uint32_t schemaFormat = 0;
};

Header headerOf(const std::filesystem::path& file) {
    std::array<unsigned char, 100> bytes{};
    std::ifstream in(file, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
    if (!in) {
        return {};
    }
    return {bytes[18], bytes[19],
            std::uint32_t{bytes[44]} << 24 | std::uint32_t{bytes[45]} << 16 |
                std::uint32_t{bytes[46]} << 8 | bytes[47]};
}

void expectLegacy(const std::filesystem::path& file) {
    const Header header = headerOf(file);
    EXPECT_EQ(header.writeVersion, 1) << file;
    EXPECT_EQ(header.readVersion, 1) << file;
    EXPECT_EQ(header.schemaFormat, 1u) << file;
}

int bookCount(Connection& connection) {
    RecordSet records;
    return records.open(connection, "SELECT * FROM 图书数据") && records.toFirst()
               ? records.rowCount()
               : -1;
}

TEST(FileFormat, NewDatabasesAndTheirBackupsUseTheLegacyFormat) {
    TempDir dir;
    Connection connection;
    ASSERT_TRUE(initialiseDatabase(connection, dir.file("数据库.sdb")).empty());
    ASSERT_TRUE(connection.execute("INSERT INTO 图书数据 (图书编号) VALUES (?)", {"A00001"}));
    ASSERT_TRUE(deleteAllRows(connection, "读者数据"));
    expectLegacy(dir.at("数据库.sdb"));

    ASSERT_EQ(backupDatabase(connection, dir.file("数据库2015年11月16日.sdb")),
              BackupOutcome::Made);
    expectLegacy(dir.at("数据库2015年11月16日.sdb"));
    Connection backup;
    ASSERT_TRUE(backup.open(dir.file("数据库2015年11月16日.sdb"), false));
    EXPECT_EQ(bookCount(backup), 1);
}

TEST(FileFormat, AFileOfAnEarlierBuildKeepsWorkingInItsOwnFormat) {
    TempDir dir;
    {
        // Earlier builds made their files without the legacy flag.
        sqlite3* earlier = nullptr;
        ASSERT_EQ(sqlite3_open(dir.file("数据库.sdb").c_str(), &earlier), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(earlier, "CREATE TABLE t (a)", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(earlier);
    }
    ASSERT_EQ(headerOf(dir.at("数据库.sdb")).schemaFormat, 4u);

    Connection connection;
    ASSERT_TRUE(initialiseDatabase(connection, dir.file("数据库.sdb")).empty());
    ASSERT_TRUE(connection.execute("INSERT INTO 图书数据 (图书编号) VALUES (?)", {"A00001"}));
    EXPECT_EQ(bookCount(connection), 1);
    ASSERT_EQ(backupDatabase(connection, dir.file("数据库2015年11月16日.sdb")),
              BackupOutcome::Made);
    EXPECT_EQ(headerOf(dir.at("数据库.sdb")).schemaFormat, 4u);
    EXPECT_EQ(headerOf(dir.at("数据库2015年11月16日.sdb")).schemaFormat, 4u);
}

} // namespace
