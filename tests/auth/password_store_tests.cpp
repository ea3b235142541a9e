#include "auth/password_cipher.h"
#include "auth/password_store.h"
#include "test_bytes.h"
#include "test_folder.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

using namespace chengxi::auth;
using namespace chengxi::auth::testing;
namespace fs = std::filesystem;

TEST(PasswordStore, FirstUseStoresTheWholeCipherTextAndReadsBackItsFirstLine) {
    TestFolder folder;
    const fs::path file = folder / "mzqk.ini";
    EXPECT_EQ(readStoredPassword(file), "");

    const std::string cipher = passwordCipher(kDefaultPassword);
    ASSERT_TRUE(writeStoredPassword(file, cipher));
    EXPECT_EQ(readBytes(file),
              "[login]\r\npass=" + fromHex("f8fbf10a89dcc78830fe9eb5ab6c64f8") + "\r\n");
    EXPECT_EQ(toHex(readStoredPassword(file).value()), "f8fbf1");
    EXPECT_EQ(readStoredPassword(file), asReadBack(cipher));
    EXPECT_FALSE(survivesStorage(encipherPasswordBlocks(kDefaultPassword)));
}

// The file holds the password under a fixed key: it and the folders made
// for it are the user's alone.
TEST(PasswordStore, MissingConfigurationFolderIsCreatedForTheUserAlone) {
    TestFolder folder;
    const fs::path file = folder / "home/.config/mzqk.ini";
    ASSERT_TRUE(writeStoredPassword(file, "abc"));
    EXPECT_EQ(readStoredPassword(file), "abc");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(folder / "home/.config").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(folder / "home").permissions(), fs::perms::owner_all);

    // A file the user made readable to others keeps its permissions.
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(writeStoredPassword(file, "def"));
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(PasswordStore, WriteIntoAnEditorsFileKeepsItsOtherLines) {
    TestFolder folder;
    const fs::path file = folder / "mzqk.ini";
    writeBytes(file, "[Login]\npass=\"old\"\n; kept\n[misc]\nx=1\n");
    EXPECT_EQ(readStoredPassword(file), "old");
    ASSERT_TRUE(writeStoredPassword(file, "next"));
    EXPECT_EQ(readBytes(file), "[Login]\npass=next\n; kept\n[misc]\nx=1\n");
}

TEST(PasswordStore, AsReadBackFollowsTheSettingsFile) {
    EXPECT_EQ(asReadBack("abc"), "abc");
    EXPECT_EQ(asReadBack("\"abc\""), "abc");
    EXPECT_EQ(asReadBack("'abc'"), "abc");
    EXPECT_EQ(asReadBack("\"abc'"), "\"abc'");
    EXPECT_EQ(asReadBack("a=b"), "a=b");
    EXPECT_EQ(asReadBack("ab\ncd"), "ab");
    EXPECT_EQ(asReadBack("ab\rcd"), "ab");
    EXPECT_EQ(asReadBack(std::string("ab\0cd", 5)), "ab");
    EXPECT_EQ(asReadBack("\v ab \t"), "ab");
    EXPECT_EQ(asReadBack(""), "");
    EXPECT_EQ(asReadBack(std::string(10300, '\xA5')), std::string(10239, '\xA5'));
}

TEST(PasswordStore, SurvivesStorageOnlyWhenTheValueComesBackIntact) {
    EXPECT_TRUE(survivesStorage("\xF8\xFB\xF1\x89"));
    EXPECT_TRUE(survivesStorage("a\"b'c"));
    EXPECT_TRUE(survivesStorage("\"ab'"));
    EXPECT_TRUE(survivesStorage(std::string(10239, 'x')));
    EXPECT_FALSE(survivesStorage(""));                         // reads as first use
    EXPECT_FALSE(survivesStorage(std::string("\0abc", 4)));    // stored text would be empty
    EXPECT_FALSE(survivesStorage(std::string("abc\0def", 7))); // stored text shorter
    EXPECT_FALSE(survivesStorage("ab\ncd"));
    EXPECT_FALSE(survivesStorage("abcd\r"));
    EXPECT_FALSE(survivesStorage(" abcd"));
    EXPECT_FALSE(survivesStorage("abcd\v"));
    EXPECT_FALSE(survivesStorage("\tabcd"));
    EXPECT_FALSE(survivesStorage("'abcd'"));
    EXPECT_FALSE(survivesStorage("\"ab\""));
    EXPECT_FALSE(survivesStorage(std::string(10240, 'x')));
}

TEST(PasswordStore, StoredCipherTextsReadBackAsPredicted) {
    // Real cipher texts of both kinds, written to and read from a file.
    TestFolder folder;
    const fs::path file = folder / "mzqk.ini";
    int survived = 0;
    int changed = 0;
    for (int i = 0; i < 400; ++i) {
        const std::string blocks = encipherPasswordBlocks("pw" + std::to_string(i));
        const std::string text = passwordCipher("pw" + std::to_string(i));
        ASSERT_TRUE(writeStoredPassword(file, text));
        const std::string stored = readStoredPassword(file).value();
        EXPECT_EQ(stored, asReadBack(text)) << i;
        EXPECT_EQ(stored, asReadBack(blocks)) << i;
        if (survivesStorage(blocks)) {
            EXPECT_EQ(stored, blocks) << i;
            ++survived;
        } else {
            EXPECT_NE(stored, blocks) << i;
            ++changed;
        }
    }
    EXPECT_GT(survived, 0);
    EXPECT_GT(changed, 0);
}

TEST(PasswordStore, DefaultPath) {
#ifdef _WIN32
    EXPECT_EQ(defaultSettingsPath(), fs::path("c:\\mzqk.ini"));
#else
    const auto saved = [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    };
    const std::optional<std::string> configHome = saved("XDG_CONFIG_HOME");
    const std::optional<std::string> home = saved("HOME");

    setenv("HOME", "/home/librarian", 1);
    setenv("XDG_CONFIG_HOME", "/srv/config", 1);
    EXPECT_EQ(defaultSettingsPath(), fs::path("/srv/config/mzqk.ini"));
    setenv("XDG_CONFIG_HOME", "relative/config", 1); // not absolute: ignored
    EXPECT_EQ(defaultSettingsPath(), fs::path("/home/librarian/.config/mzqk.ini"));
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(defaultSettingsPath(), fs::path("/home/librarian/.config/mzqk.ini"));

    const auto restore = [](const char* name, const std::optional<std::string>& value) {
        if (value) {
            setenv(name, value->c_str(), 1);
        } else {
            unsetenv(name);
        }
    };
    restore("XDG_CONFIG_HOME", configHome);
    restore("HOME", home);
#endif
}
