#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "program_fixture.h"
#include "ui/forms/control_names.h"

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

namespace chengxi::testing {
namespace {

namespace mainw = ui::names::main;

// The first password "p0", "p1", ... whose cipher output has the property.
std::optional<std::string> findPassword(const std::function<bool(const std::string&)>& property) {
    for (int i = 0; i < 200000; ++i) {
        const std::string candidate = "p" + std::to_string(i);
        if (property(auth::cipherOfTypedPassword(candidate).blocks)) {
            return candidate;
        }
    }
    return std::nullopt;
}

bool hasLineBreak(const std::string& blocks) {
    return blocks.find_first_of("\r\n") != std::string::npos &&
           blocks.find('\0') == std::string::npos;
}

bool startsWithZero(const std::string& blocks) {
    return blocks.front() == '\0';
}

bool hasInnerZero(const std::string& blocks) {
    const auto zero = blocks.find('\0');
    return zero != std::string::npos && zero > 0;
}

bool hasOuterBlank(const std::string& blocks) {
    const char first = blocks.front();
    const char last = blocks.back();
    return blocks.find('\0') == std::string::npos &&
           (first == ' ' || first == '\t' || last == ' ' || last == '\t');
}

std::string fileBytes(const std::string& path) {
    std::ifstream file(text::toPath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class PasswordRefusal : public ProgramFixture {
protected:
    // Logged in with the stored password "abc", on the password page.
    ui::Window& atPasswordPage() {
        EXPECT_TRUE(
            auth::writeStoredPassword(text::toPath(settingsFile), auth::passwordCipher("abc")));
        ui::Window& main = openMainWindow();
        main.control(mainw::kTabs).setCurrentPage(0);
        return main;
    }

    void change(ui::Window& main, const std::string& oldPassword, const std::string& newPassword) {
        main.control(mainw::kOldPassword).setText(oldPassword);
        main.control(mainw::kNewPassword).setText(newPassword);
        program->fire(mainw::kWindow, mainw::kSavePassword, ui::Event::Clicked);
    }
};

TEST_F(PasswordRefusal, NewPasswordsWhoseCipherTextCannotComeBackAreRefused) {
    const std::pair<const char*, bool (*)(const std::string&)> kinds[] = {
        {"a line break", hasLineBreak},
        {"a zero first byte", startsWithZero},
        {"a zero byte inside", hasInnerZero},
        {"a blank at either end", hasOuterBlank},
    };
    ui::Window& main = atPasswordPage();
    const std::string before = fileBytes(settingsFile);
    for (const auto& [kind, property] : kinds) {
        const std::optional<std::string> password = findPassword(property);
        ASSERT_TRUE(password) << "no candidate with " << kind;
        ASSERT_FALSE(auth::survivesStorage(auth::cipherOfTypedPassword(*password).blocks));

        change(main, "abc", *password);
        ASSERT_FALSE(screen.messages().empty());
        EXPECT_EQ(screen.messages().back().message.text,
                  "这个新密码加密后无法完整保存，请换一个新密码。")
            << kind;
        EXPECT_EQ(screen.messages().back().message.title, "提示");
        EXPECT_EQ(fileBytes(settingsFile), before) << kind;
        EXPECT_EQ(program->library().login.failureCounter, 0) << kind;
    }
    // The old password stays in force.
    change(main, "abc", "newpass1");
    EXPECT_EQ(screen.messages().back().message.text, "修改密码成功！");
}

TEST_F(PasswordRefusal, RefusalLeavesTheFailureCounterAsItWas) {
    ui::Window& main = atPasswordPage();
    change(main, "wrong", "x");
    EXPECT_EQ(program->library().login.failureCounter, 1);
    change(main, "abc", *findPassword(hasLineBreak));
    EXPECT_EQ(program->library().login.failureCounter, 1);
    change(main, "wrong", "x");
    EXPECT_EQ(screen.messages().back().message.text,
              "密码错误，请重试，密码错误次数： 2 ，失败 5 次程序将结束！");
}

TEST_F(PasswordRefusal, CharactersTheCodePageLacksAreNamedNotReplaced) {
    ui::Window& main = atPasswordPage();
    const std::string before = fileBytes(settingsFile);
    change(main, "abc", "书😀");
    EXPECT_EQ(screen.messages().back().message.text, "新密码中的字符“😀”无法保存，请换一个新密码。");
    EXPECT_EQ(fileBytes(settingsFile), before);

    // A Chinese password is enciphered as its code page 936 bytes and works.
    change(main, "abc", "图书馆2015");
    EXPECT_EQ(screen.messages().back().message.text, "修改密码成功！");
    EXPECT_EQ(auth::readStoredPassword(text::toPath(settingsFile)).value(),
              auth::passwordCipher("\xCD\xBC\xCA\xE9\xB9\xDD"
                                   "2015"));
}

} // namespace
} // namespace chengxi::testing
