#include "program_fixture.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "ui/forms/control_names.h"

#include <filesystem>

namespace chengxi::testing {
namespace {

namespace mainw = ui::names::main;

using DatabaseStart = ProgramFixture;

TEST_F(DatabaseStart, UnopenableDatabaseGivesEightMessagesAndTheWindowStaysUsable) {
    // A folder where the database file should be: SQLite cannot open it, even as root.
    std::filesystem::create_directory(text::toPath(databasePath()));
    ui::Window& main = openMainWindow();

    const std::vector<std::string> expected = {
        "打开数据库失败", "读者数据库初始化失败", "打开数据库失败", "图书数据库初始化失败",
        "打开数据库失败", "借出数据库初始化失败", "打开数据库失败", "借阅报表数据库初始化失败"};
    EXPECT_EQ(messageTexts(), expected);
    for (const auto& shown : screen.messages()) {
        EXPECT_EQ(shown.message.title, "提示");
        EXPECT_EQ(shown.message.buttons, ui::Buttons::Ok);
    }
    EXPECT_FALSE(program->library().database.connection.isOpen());

    // Still usable: pages change and an operation still reports its own outcome.
    main.control(mainw::kTabs).setCurrentPage(0);
    program->fire(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged);
    program->fire(mainw::kWindow, mainw::kSavePassword, ui::Event::Clicked);
    EXPECT_EQ(messageTexts().back(), "请输入旧密码");
    EXPECT_FALSE(program->ended());
}

TEST_F(DatabaseStart, ExistingTableWithOtherColumnsIsTakenAsItIs) {
    {
        store::Connection connection;
        ASSERT_TRUE(connection.open(databasePath(), true));
        ASSERT_TRUE(connection.execute("CREATE TABLE 读者数据 (编号 TEXT, 备注 TEXT)"));
        ASSERT_TRUE(connection.execute("INSERT INTO 读者数据 VALUES (?, ?)", {"1", "旧表"}));
    }
    openMainWindow();
    EXPECT_TRUE(messageTexts().empty());

    store::Connection connection;
    ASSERT_TRUE(connection.open(databasePath(), false));
    store::RecordSet records;
    ASSERT_TRUE(records.open(connection, "SELECT sql FROM sqlite_master ORDER BY rowid"));
    ASSERT_TRUE(records.toFirst());
    ASSERT_EQ(records.rowCount(), 4);
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read(0), "CREATE TABLE 读者数据 (编号 TEXT, 备注 TEXT)");
    ASSERT_TRUE(records.open(connection, "SELECT 备注 FROM 读者数据"));
    ASSERT_TRUE(records.toFirst());
    ASSERT_TRUE(records.nextRow());
    EXPECT_EQ(records.read("备注"), "旧表");
}

TEST_F(DatabaseStart, ReleaseAndEndLeaveNoOpenConnection) {
    openMainWindow();
    ASSERT_TRUE(program->library().database.connection.isOpen());
    program->fire(mainw::kWindow, mainw::kClose, ui::Event::Clicked);
    EXPECT_TRUE(program->ended());
    EXPECT_EQ(program->exitCode(), 0);
    EXPECT_EQ(screen.exitCode(), 0);
    EXPECT_EQ(program->window(mainw::kWindow), nullptr);
    EXPECT_EQ(program->window(ui::names::login::kWindow), nullptr);
    // Events after the end are ignored rather than touching released objects,
    // and the program's state is still there to be looked at.
    program->fire(mainw::kWindow, mainw::kSavePassword, ui::Event::Clicked);
    EXPECT_TRUE(messageTexts().empty());
    EXPECT_FALSE(program->library().database.connection.isOpen());
    EXPECT_FALSE(program->library().database.records.isOpen());
    EXPECT_EQ(program->library().login.failureCounter, 0);
}

} // namespace
} // namespace chengxi::testing
