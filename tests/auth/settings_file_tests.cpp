#include "auth/settings_file.h"
#include "support/unprivileged.h"
#include "test_folder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>

using namespace chengxi::auth;
using namespace chengxi::auth::testing;
using chengxi::testing::runUnprivileged;
namespace fs = std::filesystem;

TEST(SettingsFile, MissingFileReadsEmptyAndIsCreatedOnWrite) {
    TestFolder folder;
    const fs::path file = folder / "mzqk.ini";
    EXPECT_EQ(readSettingsValue(file, "login", "pass"), "");
    ASSERT_TRUE(writeSettingsValue(file, "login", "pass", "abc"));
    EXPECT_EQ(readBytes(file), "[login]\r\npass=abc\r\n");
    EXPECT_EQ(readSettingsValue(file, "login", "pass"), "abc");
    // Only the settings file is left in the folder, no temporary file.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

TEST(SettingsFile, EditorFilesKeepEveryOtherByte) {
    TestFolder folder;
    const fs::path file = folder / "mzqk.ini";
    for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
        const auto lines = [lineEnd](std::initializer_list<std::string> texts) {
            std::string content;
            for (const std::string& text : texts) {
                content += text + lineEnd;
            }
            return content;
        };
        writeBytes(file,
                   lines({"; settings of the library", "[window]", "left = 10 ", "", "[Login]",
                          "  User=图书管理员", "Pass = old", "# pass=x", "[other]", "pass=other"}));
        ASSERT_TRUE(writeSettingsValue(file, "login", "pass", "new")) << lineEnd;
        EXPECT_EQ(readBytes(file),
                  lines({"; settings of the library", "[window]", "left = 10 ", "", "[Login]",
                         "  User=图书管理员", "Pass=new", "# pass=x", "[other]", "pass=other"}));

        writeBytes(file, lines({"[window]", "left=10", "", "[login]", "user=x", "", "[other]"}));
        ASSERT_TRUE(writeSettingsValue(file, "login", "pass", "new"));
        EXPECT_EQ(readBytes(file), lines({"[window]", "left=10", "", "[login]", "user=x"}) +
                                       "pass=new\r\n" + lines({"", "[other]"}));
        EXPECT_EQ(readSettingsValue(file, "login", "pass"), "new");
    }
}

TEST(SettingsFile, FailedWriteLeavesNothingBehind) {
    TestFolder folder;
    // The folder does not exist.
    EXPECT_FALSE(writeSettingsValue(folder / "missing/mzqk.ini", "login", "pass", "abc"));
    EXPECT_FALSE(fs::exists(folder / "missing"));
    // The "folder" is a file.
    writeBytes(folder / "plain", "x");
    EXPECT_FALSE(writeSettingsValue(folder / "plain/mzqk.ini", "login", "pass", "abc"));
    EXPECT_EQ(readBytes(folder / "plain"), "x");
    // The settings file is a folder.
    fs::create_directory(folder / "mzqk.ini");
    EXPECT_FALSE(writeSettingsValue(folder / "mzqk.ini", "login", "pass", "abc"));
    EXPECT_EQ(readSettingsValue(folder / "mzqk.ini", "login", "pass"), std::nullopt);
    EXPECT_TRUE(fs::is_empty(folder / "mzqk.ini"));
    // A name that cannot be written changes nothing.
    writeBytes(folder / "names.ini", "[login]\r\npass=old\r\n");
    EXPECT_FALSE(writeSettingsValue(folder / "names.ini", "login", "pa=ss", "abc"));
    EXPECT_EQ(readBytes(folder / "names.ini"), "[login]\r\npass=old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 3);
}

TEST(SettingsFile, UnwritableFolderKeepsTheOldFile) {
    TestFolder folder;
    const fs::path locked = folder / "locked";
    fs::create_directory(locked);
    const std::string old = "[login]\r\npass=old\r\n[other]\r\nkeep=1\r\n";
    writeBytes(locked / "mzqk.ini", old);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    runUnprivileged({folder.path()}, [&] {
        ASSERT_FALSE(canCreateFileIn(locked));
        EXPECT_FALSE(writeSettingsValue(locked / "mzqk.ini", "login", "pass", "new"));
        EXPECT_EQ(readBytes(locked / "mzqk.ini"), old);
        EXPECT_EQ(readSettingsValue(locked / "mzqk.ini", "login", "pass"), "old");
    });
}

TEST(SettingsFile, ReadOnlyFileIsNotReplaced) {
    TestFolder folder;
    const fs::path file = folder / "mzqk.ini";
    writeBytes(file, "[login]\r\npass=old\r\n");
    fs::permissions(file, fs::perms::owner_read);
    runUnprivileged({folder.path()}, [&] {
        ASSERT_FALSE(std::ofstream(file, std::ios::app));
        EXPECT_FALSE(writeSettingsValue(file, "login", "pass", "new"));
        EXPECT_EQ(readBytes(file), "[login]\r\npass=old\r\n");
    });
}

TEST(SettingsFile, LinkedFileIsUpdatedThroughTheLink) {
    TestFolder folder;
    const fs::path real = folder / "real.ini";
    const fs::path link = folder / "mzqk.ini";
    writeBytes(real, "[login]\r\npass=old\r\n");
    std::error_code error;
    fs::create_symlink(real, link, error);
    if (error) {
        GTEST_SKIP() << "cannot make a symbolic link here";
    }
    ASSERT_TRUE(writeSettingsValue(link, "login", "pass", "new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(real), "[login]\r\npass=new\r\n");
}

// A write cut short (the program killed) leaves its temporary behind; the
// next write removes the program's own temporaries and nothing else.
TEST(SettingsFile, StaleTemporariesAreRemovedByTheNextWrite) {
    TestFolder folder;
    const fs::path file = folder / "mzqk.ini";
    writeBytes(folder / ".chengxi-0123456789abcdef.tmp", "[login]\r\npass=half");
    writeBytes(folder / ".chengxi-notmine.tmp", "keep");
    writeBytes(folder / "mzqk.ini.~123.tmp", "keep");
    fs::create_directory(folder / ".chengxi-abcdefghijklmnop.tmp");
    ASSERT_TRUE(writeSettingsValue(file, "login", "pass", "new"));

    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"mzqk.ini", ".chengxi-notmine.tmp", "mzqk.ini.~123.tmp",
                                            ".chengxi-abcdefghijklmnop.tmp"}));
    EXPECT_EQ(readBytes(file), "[login]\r\npass=new\r\n");
}
