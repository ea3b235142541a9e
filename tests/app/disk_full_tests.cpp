// A full disk during the operations that write files: each says so, keeps
// what was stored before, and works again once there is room.
#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "backups/backups.h"
#include "library/templates.h"
#include "platform/temporary_name.h"
#include "program_fixture.h"
#include "store/backups.h"
#include "store/record_set.h"
#include "support/small_disk.h"
#include "ui/forms/control_names.h"
#include "xls/connect_string.h"
#include "xls/sheet_statement.h"
#include "xls/workbook_connection.h"

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
            EXPECT_FALSE(platform::isTemporaryFileName(entry.path().filename().string()))
                << "a half copy is left";
        }

        fs::remove(programFolder.path() / "filler");
        program->fire(mainw::kWindow, mainw::kBackup, ui::Event::Clicked);
        EXPECT_EQ(messageTexts().back(), "备份数据库成功");
        EXPECT_EQ(store::backupFiles(programFolder.utf8()).size(), 1u);
    });
}

// A workbook of `rows` books outside the small disk.
std::string bookWorkbook(const fs::path& folder, int rows) {
    const std::string path = text::fromPath(folder / "books.xls");
    EXPECT_TRUE(library::writeTemplate(library::TemplateKind::Books, path).ok());
    xls::WorkbookConnection connection;
    EXPECT_TRUE(connection.open(xls::connectString(path)));
    const auto headers = library::templateHeaders(library::TemplateKind::Books);
    for (int i = 0; i < rows; ++i) {
        std::vector<std::string> values(headers.size(), "纸风筝丛书--彼若盛花（上下册）");
        values[1] = "A" + std::to_string(i);
        EXPECT_TRUE(connection.execute(xls::insertStatement(headers, values)));
    }
    EXPECT_TRUE(connection.close());
    return path;
}

TEST_F(DiskFull, BookImport) {
    const std::string workbook = bookWorkbook(settingsFolder.path(), 20000);
    runOnSmallDisk(programFolder.path(), 64 * 1024 * 1024, [&] {
        ui::Window& main = openMainWindow();
        main.control(mainw::kTabs).setCurrentPage(mainw::kPageImportBooks);
        screen.queueFile(workbook);
        program->fire(mainw::kWindow, mainw::kChooseBookFile, ui::Event::Clicked);
        // Room for the backup of the empty catalogue, not for 20,000 books.
        fillDisk(programFolder.path());
        fs::resize_file(programFolder.path() / "filler",
                        fs::file_size(programFolder.path() / "filler") - 256 * 1024);
        screen.queueAnswer(ui::Answer::Ok);
        program->fire(mainw::kWindow, mainw::kImportBooks, ui::Event::Clicked);
        EXPECT_EQ(messageTexts().back(), "写入数据库失败，本次导入的图书已全部撤销。");
        EXPECT_EQ(screen.messages().back().message.icon, ui::Icon::Error);
        store::RecordSet records;
        ASSERT_TRUE(
            records.open(program->library().database.connection, "select * from 图书数据") &&
            records.toFirst());
        EXPECT_EQ(records.rowCount(), 0) << "nothing of the import is kept";
        records.close();
        EXPECT_FALSE(program->library().database.connection.inTransaction());

        fs::remove(programFolder.path() / "filler");
        screen.queueAnswer(ui::Answer::Ok);
        program->fire(mainw::kWindow, mainw::kImportBooks, ui::Event::Clicked);
        EXPECT_EQ(main.control(mainw::kImportStatus).text().substr(0, 24), "导入图书数据结束");
        ASSERT_TRUE(
            records.open(program->library().database.connection, "select * from 图书数据") &&
            records.toFirst());
        EXPECT_EQ(records.rowCount(), 20000);
    });
}

} // namespace
} // namespace chengxi::testing
