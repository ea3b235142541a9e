// The platform's file facilities: which names reach one file, read-only
// files, and the program's temporary files from creation to clean-up.
#include "platform/durable_file.h"
#include "platform/file_facts.h"
#include "platform/private_files.h"
#include "platform/temporary_file.h"
#include "platform/temporary_name.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <vector>

namespace chengxi::platform {
namespace {

namespace fs = std::filesystem;

// Windows keeps no POSIX permission bits (std::filesystem shows only the
// read-only attribute there), and MinGW's library makes no symbolic links.
#ifdef _WIN32
constexpr bool kPosix = false;
#else
constexpr bool kPosix = true;
#endif

class Folder {
public:
    Folder() {
        path_ = fs::temp_directory_path() /
                ("chengxi-platform-" + std::to_string(std::random_device{}()));
        fs::create_directories(path_);
    }
    ~Folder() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // Names are UTF-8, which Windows would otherwise read in its ANSI code page.
    fs::path operator/(const std::string& name) const {
        return path_ / fs::path(std::u8string(name.begin(), name.end()));
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

void write(const fs::path& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
}

std::string read(const fs::path& file) {
    return (std::stringstream() << std::ifstream(file, std::ios::binary).rdbuf()).str();
}

constexpr fs::perms kPrivate = fs::perms::owner_read | fs::perms::owner_write;

TEST(FileFacts, EveryNameAndLinkOfTheDatabaseReachesIt) {
    Folder folder;
    const fs::path database = folder / "数据库.sdb";
    write(database, "the library");
    fs::create_directory(folder / "sub");
    fs::create_hard_link(database, folder / "hard.xls");
    write(folder / "copy.xls", "the library");
    std::vector<fs::path> names = {database, folder / "./数据库.sdb", folder / "sub/../数据库.sdb",
                                   folder / "hard.xls"};
    if (kPosix) {
        fs::create_symlink(database, folder / "link.xls");
        fs::create_directory_symlink(folder.path(), folder / "same folder");
        names.insert(names.end(), {folder / "link.xls", folder / "same folder/数据库.sdb"});
    } else {
        names.push_back(folder / "数据库.SDB");
    }

    for (const fs::path& name : names) {
        EXPECT_TRUE(wouldReplace(name, database)) << name;
    }
    EXPECT_FALSE(wouldReplace(folder / "copy.xls", database));
    EXPECT_FALSE(wouldReplace(folder / "sub/数据库.sdb", database));

    // A journal exists only while the database is written; its name counts.
    const fs::path journal = folder / "数据库.sdb-journal";
    EXPECT_TRUE(wouldReplace(folder / "sub/../数据库.sdb-journal", journal));
    EXPECT_FALSE(wouldReplace(folder / "sub/数据库.sdb-journal", journal));
}

TEST(FileFacts, ReadOnlyFiles) {
    Folder folder;
    write(folder / "file", "x");
    EXPECT_FALSE(isReadOnlyFile(folder / "file"));
    fs::permissions(folder / "file", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_TRUE(isReadOnlyFile(folder / "file")) << "not even root should replace it";
    EXPECT_FALSE(isReadOnlyFile(folder / "missing"));
    EXPECT_FALSE(isReadOnlyFile(folder.path()));
}

// The settings folder and the database: for the user alone, yet the user's
// own to write and to remove; an existing file is left as it is.
TEST(PrivateFiles, TheUsersAloneYetWritableAndRemovable) {
    Folder folder;
    const fs::path settings = folder / "配置/程序";
    ASSERT_TRUE(createPrivateFolders(settings));
    EXPECT_TRUE(createPrivateFolders(settings));
    const fs::path file = settings / "数据库.sdb";
    ASSERT_TRUE(createPrivateFileIfMissing(file));
    EXPECT_FALSE(isReadOnlyFile(file));
    write(file, "kept");
    EXPECT_TRUE(createPrivateFileIfMissing(file));
    EXPECT_EQ(read(file), "kept");
    EXPECT_TRUE(flushFileToDisk(file));
    if (kPosix) {
        EXPECT_EQ(fs::status(file).permissions(), kPrivate);
        EXPECT_EQ(fs::status(settings).permissions(), fs::perms::owner_all);
    }
    EXPECT_FALSE(createPrivateFileIfMissing(folder / "missing/数据库.sdb"));
    fs::remove_all(folder / "配置");
    EXPECT_FALSE(fs::exists(settings));
}

TEST(TemporaryFile, ANewPrivateFileOfARandomNameGoneUnlessPlaced) {
    Folder folder;
    fs::path first;
    {
        std::optional<TemporaryFile> file =
            TemporaryFile::create(folder.path(), FileAccess::Private);
        ASSERT_TRUE(file);
        first = file->path();
        EXPECT_EQ(first.parent_path(), folder.path());
        EXPECT_TRUE(isTemporaryFileName(first.filename().string())) << first;
        if (kPosix) {
            EXPECT_EQ(fs::status(first).permissions(), kPrivate);
        }
        EXPECT_TRUE(file->write("abc") && file->write("def") && file->flushToDisk());
        EXPECT_EQ(read(first), "abcdef");

        const std::optional<TemporaryFile> second =
            TemporaryFile::create(folder.path(), FileAccess::Private);
        ASSERT_TRUE(second);
        EXPECT_NE(second->path(), first);
    }
    EXPECT_TRUE(fs::is_empty(folder.path()));
    EXPECT_FALSE(TemporaryFile::create(folder / "missing", FileAccess::Private));
}

TEST(TemporaryFile, PlacedAsNewNeverReplacesAFile) {
    Folder folder;
    write(folder / "taken", "keep");
    std::optional<TemporaryFile> file = TemporaryFile::create(folder.path(), FileAccess::Private);
    ASSERT_TRUE(file && file->write("new"));
    EXPECT_EQ(file->placeAsNew(folder / "taken"), Placement::NameTaken);
    EXPECT_EQ(read(folder / "taken"), "keep");
    EXPECT_EQ(file->placeAsNew(folder / "free"), Placement::Placed);
    const fs::path temporary = file->path();
    file.reset();
    EXPECT_EQ(read(folder / "free"), "new");
    EXPECT_FALSE(fs::exists(temporary));
}

TEST(TemporaryFile, AReplacedFileKeepsItsPermissions) {
    Folder folder;
    write(folder / "export.xls", "old");
    const fs::perms shared = kPrivate | fs::perms::group_read;
    fs::permissions(folder / "export.xls", shared);
    std::optional<TemporaryFile> file = TemporaryFile::create(folder.path(), FileAccess::Shared);
    ASSERT_TRUE(file && file->write("new") && file->replace(folder / "export.xls"));
    EXPECT_EQ(read(folder / "export.xls"), "new");
    if (kPosix) {
        EXPECT_EQ(fs::status(folder / "export.xls").permissions(), shared);
    }
}

// Only what no writer holds goes: a file of the pattern that a killed
// program left; never a file being written, another name, a folder or a link.
TEST(TemporaryFile, StaleOnesAreRemovedAndNothingElse) {
    Folder folder;
    const std::optional<TemporaryFile> held =
        TemporaryFile::create(folder.path(), FileAccess::Private);
    ASSERT_TRUE(held);
    write(folder / ".chengxi-0123456789abcdef.tmp", "left by a killed export");
    // Windows takes a name in other letter case for the same file.
    const std::string notThePattern =
        kPosix ? ".chengxi-0123456789ABCDEF.tmp" : ".chengxi-0123456789abcde.tmp";
    write(folder / notThePattern, "not the pattern");
    write(folder / "victim", "keep");
    if (kPosix) {
        fs::create_symlink(folder / "victim", folder / ".chengxi-linklinklinklink.tmp");
    }
    fs::create_directory(folder / ".chengxi-folderfolderfold.tmp");

    removeStaleTemporaryFiles(folder.path());
    EXPECT_TRUE(fs::exists(held->path()));
    EXPECT_FALSE(fs::exists(folder / ".chengxi-0123456789abcdef.tmp"));
    EXPECT_TRUE(fs::exists(folder / notThePattern));
    EXPECT_EQ(read(folder / "victim"), "keep");
    EXPECT_EQ(fs::is_symlink(folder / ".chengxi-linklinklinklink.tmp"), kPosix);
    EXPECT_TRUE(fs::is_directory(folder / ".chengxi-folderfolderfold.tmp"));
}

} // namespace
} // namespace chengxi::platform
