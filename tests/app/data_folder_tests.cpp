// Where the database lives: beside the program while that folder can be
// written, else in the user's data folder, made on first start; a library
// beside the program is never left out of view.
#include "app/data_folder.h"
#include "app/data_folder_question.h"
#include "app/program.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "support/sample_library.h"
#include "support/scripted_screen.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"
#include "text/file_path.h"
#include "ui/forms/control_names.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
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

std::string contentOf(const std::string& file) {
    std::ifstream in(text::toPath(file), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int bookCount(const std::string& database) {
    store::Connection connection;
    store::RecordSet records;
    return connection.open(database, false) && records.open(connection, "select * from 图书数据") &&
                   records.toFirst()
               ? records.rowCount()
               : -1;
}

// A program folder the user cannot write, holding a library of 300 books.
class LibraryOutOfView : public DataFolderTest {
protected:
    LibraryOutOfView()
        : original(text::joinPath(programFolder, "数据库.sdb")),
          dataHome(text::joinPath(root.utf8(), "data home")),
          copy(text::joinPath(text::joinPath(dataHome, "chengxi"), "数据库.sdb")) {
        store::Connection connection;
        EXPECT_TRUE(connection.open(original, true));
        bench::fillLibrary(connection, {300, 10, 0});
        fs::create_directories(text::toPath(dataHome));
        fs::permissions(text::toPath(programFolder), fs::perms::owner_read | fs::perms::owner_exec);
    }
    ~LibraryOutOfView() override {
        fs::permissions(text::toPath(programFolder), fs::perms::owner_all);
    }

    app::DataFolder settle(ui::Answer answer) {
        screen.queueAnswer(answer);
        return app::settleDataFolder(programFolder, environment({{"XDG_DATA_HOME", dataHome}}),
                                     screen);
    }

    std::string original;
    std::string dataHome;
    std::string copy;
    scenario::ScriptedScreen screen{""};
};

TEST_F(LibraryOutOfView, IsCopiedIntoTheDataFolderWhenTheLibrarianAgrees) {
    const std::string before = contentOf(original);
    runUnprivileged({text::toPath(root.utf8())}, [&] {
        const app::DataFolder chosen = settle(ui::Answer::Ok);
        ASSERT_EQ(screen.messages().size(), 1U);
        EXPECT_EQ(screen.messages()[0].message.buttons, ui::Buttons::OkCancel);
        EXPECT_EQ(chosen.path, text::joinPath(dataHome, "chengxi"));
        EXPECT_EQ(bookCount(copy), 300);

        // The next start goes on with the copy and asks nothing.
        EXPECT_EQ(
            app::settleDataFolder(programFolder, environment({{"XDG_DATA_HOME", dataHome}}), screen)
                .path,
            chosen.path);
        EXPECT_EQ(screen.messages().size(), 1U);
    });
    EXPECT_EQ(contentOf(original), before) << "the original is copied, never moved or changed";
}

TEST_F(LibraryOutOfView, NotCopiedItIsOnlyLookedAtAndSaidSo) {
    runUnprivileged({text::toPath(root.utf8())}, [&] {
        const app::DataFolder chosen = settle(ui::Answer::Cancel);
        EXPECT_EQ(chosen.path, programFolder);
        EXPECT_FALSE(fs::exists(text::toPath(copy)));

        scenario::ScriptedClock clock;
        app::Program program({chosen.path, text::joinPath(dataHome, "mzqk.ini")}, screen, clock);
        program.start();
        program.showMainWindow();
        ASSERT_EQ(screen.messages().size(), 2U);
        EXPECT_EQ(screen.messages()[1].message.text, app::unwritableFolderMessage(programFolder));
    });
}

TEST_F(LibraryOutOfView, AnEmptyLibraryInTheDataFolderIsSetAsideForTheCopy) {
    {
        // What builds that did not ask left there: the tables, no rows.
        fs::create_directories(text::toPath(copy).parent_path());
        store::Connection empty;
        ASSERT_TRUE(empty.open(copy, true));
        bench::fillLibrary(empty, {0, 0, 0});
    }
    runUnprivileged({text::toPath(root.utf8())}, [&] {
        settle(ui::Answer::Ok);
        ASSERT_EQ(screen.messages().size(), 1U);
        EXPECT_EQ(bookCount(copy), 300);
        EXPECT_EQ(bookCount(text::joinPath(text::fromPath(text::toPath(copy).parent_path()),
                                           "数据库（未用的空库）.sdb")),
                  0);
    });
}

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
