// A full disk during the operations that write files: each says so, keeps
// what was stored before, and works again once there is room.
#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "backups/backups.h"
#include "program_fixture.h"
#include "store/backups.h"
#include "support/small_disk.h"
#include "ui/forms/control_names.h"

#include <filesystem>

namespace chengxi::testing {
namespace {

namespace mainw = ui::names::main;
namespace fs = std::filesystem;

class DiskFull : public ProgramFixture {
protected:
    void changePassword(const std::string& oldPassword, const std::string& newPassword) {
        ui::Window& main = *program->window(mainw::kWindow);
        main.control(mainw::kOldPassword).setText(oldPassword);
        main.control(mainw::kNewPassword).setText(newPassword);
        program->fire(mainw::kWindow, mainw::kSavePassword, ui::Event::Clicked);
    }

    std::string storedPassword() {
        return auth::readStoredPassword(text::toPath(settingsFile)).value_or("unreadable");
    }
};

TEST_F(DiskFull, PasswordChange) {
    runOnSmallDisk(settingsFolder.path(), 64 * 1024, [&] {
        ASSERT_TRUE(
            auth::writeStoredPassword(text::toPath(settingsFile), auth::passwordCipher("abc")));
        const std::string before = storedPassword();
        openMainWindow();
        fillDisk(settingsFolder.path());
        changePassword("abc", "newpass1");
        EXPECT_EQ(messageTexts().back(), "写入新密码失败！");
        EXPECT_EQ(storedPassword(), before) << "the old password stays in force";

        fs::remove(settingsFolder.path() / "filler");
        changePassword("abc", "newpass1");
        EXPECT_EQ(messageTexts().back(), "修改密码成功！");
        EXPECT_EQ(storedPassword(), auth::asReadBack(auth::passwordCipher("newpass1")));
    });
}

TEST_F(DiskFull, Backup) {
    runOnSmallDisk(programFolder.path(), 4 * 1024 * 1024, [&] {
        ui::Window& main = openMainWindow();
        store::Connection& connection = program->library().database.connection;
        for (int i = 0; i < 200; ++i) {
            ASSERT_TRUE(connection.execute("insert into 图书数据 (图书编号, 书名) values(?, ?)",
                                           {"A" + std::to_string(i), std::string(300, 'x')}));
        }
        main.control(mainw::kTabs).setCurrentPage(mainw::kPageData);
        fillDisk(programFolder.path());
        program->fire(mainw::kWindow, mainw::kBackup, ui::Event::Clicked);
        EXPECT_EQ(messageTexts().back(), backups::kBackupFailedMessage);
        EXPECT_TRUE(store::backupFiles(programFolder.utf8()).empty());
        for (const auto& entry : fs::directory_iterator(programFolder.path())) {
            EXPECT_FALSE(entry.path().string().ends_with(".part")) << "a half copy is left";
        }

        fs::remove(programFolder.path() / "filler");
        program->fire(mainw::kWindow, mainw::kBackup, ui::Event::Clicked);
        EXPECT_EQ(messageTexts().back(), "备份数据库成功");
        EXPECT_EQ(store::backupFiles(programFolder.utf8()).size(), 1u);
    });
}

} // namespace
} // namespace chengxi::testing
