// Restoring a backup under faults: a full disk keeps the old database
// working; a backup in a newer file format is refused and a restored file
// keeps the format SQLite 3.2.5 reads; the confirmation shows both row counts.
#include "backups/backups.h"
#include "library/schema.h"
#include "program_fixture.h"
#include "sample_library.h"
#include "store/integrity.h"
#include "store/restore.h"
#include "support/small_disk.h"
#include "ui/forms/control_names.h"

#include <filesystem>
#include <fstream>
#include <sqlite3.h>

namespace chengxi::testing {
namespace {

namespace mainw = ui::names::main;
namespace fs = std::filesystem;

int schemaFormat(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string header(48, '\0');
    in.read(header.data(), static_cast<std::streamsize>(header.size()));
    return static_cast<unsigned char>(header[47]);
}

std::int64_t books(store::Connection& connection) {
    return store::countTableRows(connection, library::kTableNames)
        .value_or(store::TableRowCounts{-1})[1];
}

void fillFile(const fs::path& file, const bench::LibrarySize& size, bool legacy = true) {
    store::Connection connection;
    ASSERT_TRUE(connection.open(text::fromPath(file), true));
    if (!legacy) {
        sqlite3_db_config(connection.handle(), SQLITE_DBCONFIG_LEGACY_FILE_FORMAT, 0, nullptr);
    }
    bench::fillLibrary(connection, size, 5);
}

class Restore : public ProgramFixture {
protected:
    void restoreFirstBackup() {
        ui::Window& main = *program->window(mainw::kWindow);
        main.control(mainw::kTabs).setCurrentPage(mainw::kPageData);
        backups::listBackups(program->services());
        main.control(mainw::kBackupList).setCurrentItem(0);
        program->fire(mainw::kWindow, mainw::kRestoreBackup, ui::Event::Clicked);
    }
};

TEST_F(Restore, FullDiskLeavesTheOldDatabaseWorking) {
    const fs::path backup = programFolder.path() / text::toPath("数据库2010年1月1日.sdb");
    runOnSmallDisk(programFolder.path(), 3 * 1024 * 1024, [&] {
        fillFile(backup, {.books = 4000, .readers = 100, .reportRows = 100});
        openMainWindow();
        store::Connection& connection = program->library().database.connection;
        ASSERT_TRUE(connection.execute("insert into 图书数据 (图书编号) values('A1')"));
        // Room for the backup of the small database, not for the restore.
        std::ofstream(programFolder.path() / "filler")
            << std::string(3 * 1024 * 1024 - fs::file_size(backup) - 200 * 1024, 'x');
        screen.queueAnswer(ui::Answer::Ok);
        restoreFirstBackup();
        EXPECT_EQ(messageTexts().back(),
                  "恢复数据库失败：磁盘可能已满，或程序所在的文件夹不能写入。数据库没有改动。");
        EXPECT_EQ(books(connection), 1);
        EXPECT_TRUE(connection.execute("insert into 图书数据 (图书编号) values('A2')"));
        EXPECT_EQ(store::checkIntegrity(connection), store::Integrity::Sound);

        fs::remove(programFolder.path() / "filler");
        screen.queueAnswer(ui::Answer::Ok);
        restoreFirstBackup();
        EXPECT_EQ(books(connection), 4000);
    });
}

TEST_F(Restore, NewerFormatBackupIsRefusedAndTheLegacyFormatKept) {
    const fs::path newer = programFolder.path() / text::toPath("数据库2010年1月1日.sdb");
    fillFile(newer, {.books = 30, .readers = 5, .reportRows = 5}, false);
    ASSERT_EQ(schemaFormat(newer), 4);
    openMainWindow();
    restoreFirstBackup();
    EXPECT_NE(messageTexts().back().find("较新的格式"), std::string::npos);

    fs::rename(newer, programFolder.path() / text::toPath("数据库2010年1月2日.sdb"));
    fillFile(newer, {.books = 30, .readers = 5, .reportRows = 5});
    screen.queueAnswer(ui::Answer::Ok);
    restoreFirstBackup();
    const std::vector<std::string> shown = messageTexts();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_NE(shown[shown.size() - 2].find("图书数据：现在 0 行，备份中 30 行"), std::string::npos)
        << shown[shown.size() - 2];
    EXPECT_EQ(books(program->library().database.connection), 30);
    EXPECT_EQ(schemaFormat(text::toPath(databasePath())), 1);
}

} // namespace
} // namespace chengxi::testing
