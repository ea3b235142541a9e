#include "backups/backups.h"
#include "library/initialisation.h"
#include "program_fixture.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "support/locking_process.h"
#include "support/unprivileged.h"
#include "ui/forms/control_names.h"

#include <filesystem>

namespace chengxi::testing {
namespace {

namespace mainw = ui::names::main;
namespace fs = std::filesystem;

class DataPageFault : public ProgramFixture {
protected:
    ~DataPageFault() override {
        std::error_code error;
        fs::permissions(programFolder.path(), fs::perms::owner_all, fs::perm_options::add, error);
    }

    ui::Window& atDataPage() {
        ui::Window& main = openMainWindow();
        EXPECT_TRUE(program->library().database.connection.execute(
            "insert into 读者数据 values(?,?,?,?,?,?)",
            {"1班", "张三", "201409001", "0", "0", "0"}));
        main.control(mainw::kTabs).setCurrentPage(mainw::kPageData);
        program->fire(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged);
        return main;
    }

    // Nothing new can be made in the program's folder, so no backup either
    // (run unprivileged: the bits do not stop root).
    void makeTheFolderReadOnly() {
        fs::permissions(programFolder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    }

    int readers() {
        store::RecordSet records;
        return records.open(program->library().database.connection, "select * from 读者数据") &&
                       records.toFirst()
                   ? records.rowCount()
                   : -1;
    }
};

TEST_F(DataPageFault, AFailedBackupSaysSo) {
    runUnprivileged({programFolder.path(), settingsFolder.path()}, [&] {
        atDataPage();
        makeTheFolderReadOnly();
        program->fire(mainw::kWindow, mainw::kBackup, ui::Event::Clicked);
        EXPECT_EQ(messageTexts(),
                  std::vector<std::string>{std::string(backups::kBackupFailedMessage)});
    });
}

TEST_F(DataPageFault, AClearingWhoseBackupFailedDeletesNothing) {
    runUnprivileged({programFolder.path(), settingsFolder.path()}, [&] {
        atDataPage();
        makeTheFolderReadOnly();
        screen.queueAnswer(ui::Answer::Ok);
        program->fire(mainw::kWindow, mainw::kClearReaders, ui::Event::Clicked);
        EXPECT_EQ(messageTexts(),
                  (std::vector<std::string>{"确定要清空读者数据吗？",
                                            std::string(backups::kBackupFailedMessage) +
                                                "数据没有清空。"}));
        EXPECT_EQ(readers(), 1);
    });
}

TEST_F(DataPageFault, AReadOnlyDatabaseIsSaidAtStart) {
    {
        store::Connection connection;
        ASSERT_TRUE(connection.open(databasePath(), true));
        ASSERT_TRUE(library::initialiseDatabase(connection, databasePath()).empty());
    }
    fs::permissions(text::toPath(databasePath()), fs::perms::owner_read);
    runUnprivileged({programFolder.path(), settingsFolder.path()}, [&] {
        openMainWindow();
        EXPECT_EQ(messageTexts(), std::vector<std::string>{std::string(library::kReadOnlyMessage)});
        EXPECT_TRUE(program->library().database.connection.isReadOnly());
    });
}

// Another program holding the database locked: each step says so, nothing is
// lost, and the same buttons work once the lock is gone.
TEST_F(DataPageFault, ALockAnotherProgramHoldsIsSaidAndPassesOver) {
    atDataPage();
    LockingProcess other(databasePath());
    if (!other.holding()) {
        GTEST_SKIP() << "python3 with sqlite3 is needed to hold the lock";
    }
    program->fire(mainw::kWindow, mainw::kBackup, ui::Event::Clicked);
    screen.queueAnswer(ui::Answer::Ok);
    program->fire(mainw::kWindow, mainw::kClearReaders, ui::Event::Clicked);
    EXPECT_EQ(messageTexts(),
              (std::vector<std::string>{
                  std::string(backups::kBackupBusyMessage), "确定要清空读者数据吗？",
                  std::string(backups::kBackupBusyMessage) + "数据没有清空。"}));
    other.release();
    EXPECT_EQ(readers(), 1);

    screen.queueAnswer(ui::Answer::Ok);
    program->fire(mainw::kWindow, mainw::kClearReaders, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().size(), 4U) << messageTexts().back();
    EXPECT_EQ(readers(), 0);
}

TEST_F(DataPageFault, ADatabaseLockedAtStartIsSaidOnceAndWorksAfterwards) {
    {
        store::Connection connection;
        ASSERT_TRUE(connection.open(databasePath(), true));
        ASSERT_TRUE(library::initialiseDatabase(connection, databasePath()).empty());
    }
    LockingProcess other(databasePath());
    if (!other.holding()) {
        GTEST_SKIP() << "python3 with sqlite3 is needed to hold the lock";
    }
    ui::Window& main = openMainWindow();
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{std::string(library::kDatabaseInUseMessage)});
    other.release();

    main.control(mainw::kTabs).setCurrentPage(mainw::kPageData);
    program->fire(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged);
    program->fire(mainw::kWindow, mainw::kBackup, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().back(), "备份数据库成功");
}

} // namespace
} // namespace chengxi::testing
