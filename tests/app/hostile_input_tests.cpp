// Hostile text in every edit box a librarian can type into, followed by
// every button of that box's page. The boxes and buttons come from the form
// data, so a new box or button is covered without a new test.
#include "platform/file_facts.h"
#include "program_fixture.h"
#include "store/connection.h"
#include "store/record_set.h"
#include "support/sample_library.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace chengxi::testing {
namespace {

namespace mainw = ui::names::main;
namespace loginw = ui::names::login;

const std::array<std::string, 8> kHostileTexts = {
    "'",
    "x' or '1'='1",
    "'); drop table 读者数据;--",
    std::string(10000, 'x'),
    "书😀𠀀",
    std::string("\x01\x02\t\r\n\x7f", 6),
    "   ",
    "",
};

const std::array<std::string_view, 4> kTables = {"读者数据", "图书数据", "借出数据", "借阅报表"};

struct TableState {
    int rows = 0;
    bool exists = false;
};

class HostileInput : public ProgramFixture {
protected:
    // The main window on a library of a few hundred rows; every box that
    // offers Cancel is cancelled and every file dialog too, so nothing is
    // cleared, deleted or overwritten on purpose.
    ui::Window& openLibrary() {
        {
            store::Connection connection;
            EXPECT_TRUE(connection.open(databasePath(), true));
            bench::fillLibrary(connection, {.books = 300, .readers = 40, .reportRows = 60});
        }
        for (int i = 0; i < 100000; ++i) {
            screen.queueAnswer(ui::Answer::Cancel);
        }
        for (int i = 0; i < 1000; ++i) {
            screen.queueFile(std::nullopt);
        }
        return openMainWindow();
    }

    std::vector<TableState> tables() {
        store::Connection connection;
        EXPECT_TRUE(connection.open(databasePath(), false));
        std::vector<TableState> states;
        for (const std::string_view table : kTables) {
            store::RecordSet records;
            TableState state;
            state.exists =
                records.open(connection, "select count(*) as n from " + std::string(table)) &&
                records.toFirst() && records.nextRow();
            state.rows = state.exists ? std::stoi(records.read("n")) : 0;
            states.push_back(state);
        }
        return states;
    }

    // Every stored text that holds a "?" or a character that did not decode.
    std::vector<std::string> damagedTexts() {
        store::Connection connection;
        EXPECT_TRUE(connection.open(databasePath(), false));
        std::vector<std::string> damaged;
        for (const std::string_view table : kTables) {
            store::RecordSet records;
            if (!records.open(connection, "select * from " + std::string(table)) ||
                !records.toFirst()) {
                continue;
            }
            while (records.nextRow()) {
                for (int column = 0; column < records.columnCount(); ++column) {
                    const std::string value = records.read(column);
                    if (value.find('?') != std::string::npos ||
                        value.find("\xEF\xBF\xBD") != std::string::npos) {
                        damaged.push_back(std::string(table) + ": " + value.substr(0, 40));
                    }
                }
            }
        }
        return damaged;
    }

    bool integrityOk() {
        store::Connection connection;
        store::RecordSet records;
        return connection.open(databasePath(), false) &&
               records.open(connection, "pragma integrity_check") && records.toFirst() &&
               records.nextRow() && records.read(0) == "ok";
    }

    // The buttons a person could press on the page in front.
    std::vector<std::string> usableButtons(ui::Window& window) {
        std::vector<std::string> buttons;
        for (const ui::Control& control : window.controls()) {
            if (control.kind() == ui::ControlKind::Button && window.isUsable(control) &&
                control.name() != mainw::kClose) {
                buttons.emplace_back(control.name());
            }
        }
        return buttons;
    }

    void expectTablesIntact(const std::vector<TableState>& before, const std::string& where) {
        const std::vector<TableState> after = tables();
        for (std::size_t i = 0; i < kTables.size(); ++i) {
            EXPECT_TRUE(after[i].exists) << kTables[i] << " is gone after " << where;
            // Cancel answered every confirmation: rows may be added, never lost.
            EXPECT_GE(after[i].rows, before[i].rows) << kTables[i] << " lost rows after " << where;
        }
        EXPECT_TRUE(integrityOk()) << where;
        EXPECT_EQ(damagedTexts(), std::vector<std::string>{}) << where;
        for (const auto& shown : screen.messages()) {
            EXPECT_FALSE(shown.message.text.empty() && shown.message.title != "剪辑板的内容")
                << "an empty message after " << where;
        }
    }
};

TEST_F(HostileInput, EveryBoxOfTheMainWindowThenEveryButtonOfItsPage) {
    ui::Window& main = openLibrary();
    const std::vector<TableState> before = tables();
    ui::Control& tabs = main.control(mainw::kTabs);
    int boxes = 0;
    for (int page = 0; page < static_cast<int>(tabs.pageCaptions().size()); ++page) {
        tabs.setCurrentPage(page);
        program->fire(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged);
        for (ui::Control& box : main.controls()) {
            if (box.kind() != ui::ControlKind::EditBox || !main.isUsable(box) ||
                box.inputMode() == ui::InputMode::ReadOnly) {
                continue;
            }
            ++boxes;
            for (const std::string& hostile : kHostileTexts) {
                for (const std::string& button : usableButtons(main)) {
                    box.setText(hostile);
                    program->fire(mainw::kWindow, button, ui::Event::Clicked);
                    ASSERT_FALSE(program->ended()) << button;
                    // A button may move to another page (none does today).
                    tabs.setCurrentPage(page);
                }
                expectTablesIntact(before, std::string(box.name()));
            }
        }
    }
    EXPECT_GE(boxes, 10) << "the typable boxes were not found";
}

// The save dialog aimed at the files the program holds, by other spellings
// and through links, and at a read-only file: every export refuses before
// it writes, and the library, the password and the file are as they were.
TEST_F(HostileInput, TheSaveDialogAimedAtTheProgramsOwnFiles) {
    namespace fs = std::filesystem;
    {
        store::Connection connection;
        ASSERT_TRUE(connection.open(databasePath(), true));
        bench::fillLibrary(connection, {.books = 30, .readers = 10, .reportRows = 10});
    }
    openMainWindow();
    const std::vector<TableState> before = tables();
    const fs::path folder = programFolder.path();
    const fs::path database = text::toPath(databasePath());
    const auto identity = platform::fileIdentity(database);
    const std::string settings = "[login]\r\npass=abc\r\n";
    std::ofstream(text::toPath(settingsFile), std::ios::binary) << settings;
    std::ofstream(folder / "read-only.xls") << "keep";
    fs::permissions(folder / "read-only.xls", fs::perms::owner_read);
    fs::create_directory(folder / "sub");
    fs::create_symlink(database, folder / "link.xls");
    fs::create_hard_link(database, folder / "hard.xls");
    fs::create_symlink(text::toPath(settingsFile), folder / "settings.xls");

    const std::string dir = programFolder.utf8();
    const std::vector<std::string> targets = {
        databasePath(),    dir + "/./数据库.sdb", dir + "/sub/../数据库.sdb",
        dir + "/link.xls", dir + "/hard.xls",     dir + "/数据库.sdb-journal",
        settingsFile,      dir + "/settings.xls", dir + "/read-only.xls"};
    for (const std::string& target : targets) {
        for (const std::string_view button :
             {mainw::kExportBooks, mainw::kExportReaders, mainw::kExportReport}) {
            const std::size_t shown = screen.messages().size();
            screen.queueFile(target);
            program->fire(mainw::kWindow, button, ui::Event::Clicked);
            ASSERT_EQ(screen.messages().size(), shown + 1) << target << " " << button;
            const ui::Message& refusal = screen.messages().back().message;
            EXPECT_EQ(refusal.icon, ui::Icon::Error) << target;
            EXPECT_TRUE(refusal.text.find("没有导出任何数据") != std::string::npos)
                << target << ": " << refusal.text;
        }
    }
    expectTablesIntact(before, "the exports");
    EXPECT_EQ(platform::fileIdentity(database), identity);
    EXPECT_EQ(platform::fileIdentity(folder / "hard.xls"), identity);
    EXPECT_TRUE(fs::is_symlink(folder / "link.xls"));
    EXPECT_FALSE(fs::exists(folder / "数据库.sdb-journal"));
    EXPECT_EQ((std::stringstream() << std::ifstream(text::toPath(settingsFile)).rdbuf()).str(),
              settings);
    EXPECT_EQ((std::stringstream() << std::ifstream(folder / "read-only.xls").rdbuf()).str(),
              "keep");
}

TEST_F(HostileInput, TheLoginBoxes) {
    startProgram();
    ui::Window& login = *program->window(loginw::kWindow);
    for (const std::string& hostile : kHostileTexts) {
        for (const std::string_view name : {loginw::kPassword, loginw::kCode}) {
            login.control(name).setText(hostile);
            program->fire(loginw::kWindow, loginw::kLogIn, ui::Event::Clicked);
            if (program->ended()) {
                // The fifth wrong password ends the program, as it should.
                EXPECT_EQ(program->library().login.failureCounter, 5);
                return;
            }
        }
    }
    FAIL() << "five wrong passwords did not end the program";
}

} // namespace
} // namespace chengxi::testing
