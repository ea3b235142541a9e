#include "auth/login.h"
#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "program_fixture.h"
#include "support/unprivileged.h"
#include "ui/forms/control_names.h"

#include <filesystem>

namespace chengxi::testing {
namespace {

namespace login = ui::names::login;
namespace fs = std::filesystem;

// A settings file that is there but cannot be read or written: the login
// names it and changes nothing, instead of announcing a reset that never
// reached the file, at every click.
class SettingsFault : public ProgramFixture {
protected:
    void clickLogIn() {
        program->window(login::kWindow)->control(login::kPassword).setText("ruvok");
        program->fire(login::kWindow, login::kLogIn, ui::Event::Clicked);
    }

    // Two clicks, each answered with the message naming the settings file.
    void expectTheFileNamedTwice() {
        startProgram();
        clickLogIn();
        clickLogIn();
        const std::string named = auth::settingsFileFaultMessage(program->services());
        EXPECT_NE(named.find(settingsFile), std::string::npos) << named;
        EXPECT_EQ(messageTexts(), (std::vector<std::string>{named, named}));
        EXPECT_EQ(program->window(ui::names::main::kWindow), nullptr);
        EXPECT_EQ(program->library().login.failureCounter, 0);
    }

    fs::path settingsPath() const { return text::toPath(settingsFile); }
};

TEST_F(SettingsFault, AFolderOfThatName) {
    fs::create_directory(settingsPath());
    expectTheFileNamedTwice();
    EXPECT_TRUE(fs::is_empty(settingsPath()));
}

TEST_F(SettingsFault, ALoopOfLinks) {
    fs::create_symlink(settingsPath().string() + ".other", settingsPath());
    fs::create_symlink(settingsPath(), settingsPath().string() + ".other");
    expectTheFileNamedTwice();
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(settingsPath())));
}

TEST_F(SettingsFault, AFileThisUserMayNotRead) {
    ASSERT_TRUE(auth::writeStoredPassword(settingsPath(), auth::passwordCipher("abc")));
    fs::permissions(settingsPath(), fs::perms::none);
    runUnprivileged({settingsFolder.path(), programFolder.path()},
                    [&] { expectTheFileNamedTwice(); });
}

// No settings file yet, and its folder does not take one: the first-use
// reset cannot be stored, so it is not announced either.
TEST_F(SettingsFault, AFolderThatDoesNotTakeTheFirstFile) {
    fs::permissions(settingsFolder.path(), fs::perms::owner_read | fs::perms::owner_exec);
    runUnprivileged({settingsFolder.path(), programFolder.path()}, [&] {
        expectTheFileNamedTwice();
        EXPECT_FALSE(fs::exists(settingsPath()));
    });
}

TEST_F(SettingsFault, TheResetIsAnnouncedOnceItIsStored) {
    startProgram();
    clickLogIn();
    EXPECT_EQ(messageTexts(), std::vector<std::string>{
                                  "第一次使用本程序，密码已重置为：ruvok，建议修改登录密码。"});
    EXPECT_EQ(auth::readStoredPassword(settingsPath()),
              auth::asReadBack(auth::passwordCipher(auth::kDefaultPassword)));
}

} // namespace
} // namespace chengxi::testing
