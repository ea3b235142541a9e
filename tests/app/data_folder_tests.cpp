// Where the database lives: beside the program while that folder can be
// written, else in the user's data folder, made on first start.
#include "app/data_folder.h"
#include "support/unprivileged.h"
#include "temp_folder.h"
#include "text/file_path.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace chengxi::testing {
namespace {

namespace fs = std::filesystem;

app::EnvironmentLookup environment(std::map<std::string, std::string> values) {
    return [values = std::move(values)](std::string_view name) -> std::optional<std::string> {
        const auto found = values.find(std::string(name));
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    };
}

class DataFolderTest : public ::testing::Test {
protected:
    DataFolderTest() : programFolder(text::joinPath(root.utf8(), "程序")) {
        fs::create_directories(text::toPath(programFolder));
    }

    scenario::TempFolder root{"chengxi-data-folder"};
    std::string programFolder;
};

TEST_F(DataFolderTest, AWritableProgramFolderKeepsTheDataAndLeavesNothingBehind) {
    const std::string home = text::joinPath(root.utf8(), "home");
    const app::DataFolder chosen =
        app::chooseDataFolder(programFolder, environment({{"HOME", home}}));
    EXPECT_EQ(chosen.path, programFolder);
    EXPECT_TRUE(chosen.error.empty());
    EXPECT_TRUE(fs::is_empty(text::toPath(programFolder))) << "the write probe stayed behind";
    EXPECT_FALSE(fs::exists(text::toPath(home)));
}

// The probe is a new file of a random name: a link planted where the old
// fixed name was is neither written through nor removed.
TEST_F(DataFolderTest, TheWriteProbeNeverGoesThroughAPlantedLink) {
    const fs::path victim = text::toPath(root.utf8()) / "victim";
    std::ofstream(victim) << "keep";
    const fs::path planted = text::toPath(programFolder) / ".chengxi-write-probe";
    fs::create_symlink(victim, planted);
    EXPECT_TRUE(app::canWriteFolder(programFolder));
    EXPECT_EQ((std::stringstream() << std::ifstream(victim).rdbuf()).str(), "keep");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(planted)));
}

TEST_F(DataFolderTest, AnUnwritableProgramFolderSendsTheDataToTheUsersDataFolder) {
    const std::string dataHome = text::joinPath(root.utf8(), "data home");
    const std::string home = text::joinPath(root.utf8(), "home");
    fs::create_directories(text::toPath(dataHome));
    fs::create_directories(text::toPath(home));
    fs::permissions(text::toPath(programFolder), fs::perms::owner_read | fs::perms::owner_exec);
    runUnprivileged({text::toPath(root.utf8())}, [&] {
        EXPECT_FALSE(app::canWriteFolder(programFolder));

        // $XDG_DATA_HOME first, the folder made on first start.
        const app::DataFolder chosen = app::chooseDataFolder(
            programFolder, environment({{"XDG_DATA_HOME", dataHome}, {"HOME", home}}));
        EXPECT_EQ(chosen.path, text::joinPath(dataHome, "chengxi"));
        EXPECT_TRUE(chosen.error.empty());
        EXPECT_TRUE(fs::is_directory(text::toPath(chosen.path)));
        EXPECT_TRUE(app::canWriteFolder(chosen.path));

        // Without it (or with a relative one, which the rule says to ignore):
        // ~/.local/share, made with its parents.
        const std::string fallback =
            text::joinPath(text::joinPath(text::joinPath(home, ".local"), "share"), "chengxi");
        for (const auto& values : {std::map<std::string, std::string>{{"HOME", home}},
                                   {{"XDG_DATA_HOME", "relative/data"}, {"HOME", home}}}) {
            const app::DataFolder second =
                app::chooseDataFolder(programFolder, environment(values));
            EXPECT_EQ(second.path, fallback);
            EXPECT_TRUE(fs::is_directory(text::toPath(fallback)));
        }

        // A second start finds the folder there and keeps using it.
        EXPECT_EQ(app::chooseDataFolder(programFolder, environment({{"HOME", home}})).path,
                  fallback);
    });
    fs::permissions(text::toPath(programFolder), fs::perms::owner_all);
}

TEST_F(DataFolderTest, NoUserFolderToBeHadIsSaidAndTheProgramFolderKept) {
    fs::permissions(text::toPath(programFolder), fs::perms::owner_read | fs::perms::owner_exec);
    const std::string blocked = text::joinPath(root.utf8(), "blocked");
    fs::create_directories(text::toPath(blocked));
    fs::permissions(text::toPath(blocked), fs::perms::owner_read | fs::perms::owner_exec);
    runUnprivileged({text::toPath(root.utf8())}, [&] {
        const app::DataFolder homeless = app::chooseDataFolder(programFolder, environment({}));
        EXPECT_EQ(homeless.path, programFolder);
        EXPECT_FALSE(homeless.error.empty());

        const app::DataFolder refused =
            app::chooseDataFolder(programFolder, environment({{"XDG_DATA_HOME", blocked}}));
        EXPECT_EQ(refused.path, programFolder);
        EXPECT_NE(refused.error.find(blocked), std::string::npos) << refused.error;
    });
    fs::permissions(text::toPath(programFolder), fs::perms::owner_all);
    fs::permissions(text::toPath(blocked), fs::perms::owner_all);
}

} // namespace
} // namespace chengxi::testing
