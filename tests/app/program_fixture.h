#pragma once

#include "app/program.h"
#include "support/scripted_screen.h"
#include "support/short_lock_wait.h"
#include "support/temp_folder.h"
#include "text/file_path.h"
#include "ui/forms/control_names.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace chengxi::testing {

// A program in fresh folders with a scripted screen and clock.
class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture()
        : settingsFile(text::joinPath(settingsFolder.utf8(), "mzqk.ini")),
          screen(programFolder.utf8()) {}

    app::Program& startProgram() {
        program = std::make_unique<app::Program>(
            app::ProgramPaths{programFolder.utf8(), settingsFile}, screen, clock);
        if (shortLockWait) {
            program->library().database.connection.setLockWait(kShortLockWait);
        }
        program->start();
        program->activated(ui::names::login::kWindow);
        return *program;
    }

    // The main window as a correct login opens it.
    ui::Window& openMainWindow() {
        startProgram().showMainWindow();
        return *program->window(ui::names::main::kWindow);
    }

    std::vector<std::string> messageTexts() {
        std::vector<std::string> texts;
        for (const auto& shown : screen.messages()) {
            texts.push_back(shown.message.text);
        }
        return texts;
    }

    std::string databasePath() const { return text::joinPath(programFolder.utf8(), "数据库.sdb"); }

    scenario::TempFolder programFolder{"chengxi-test-program"};
    scenario::TempFolder settingsFolder{"chengxi-test-settings"};
    std::string settingsFile;
    // Set before the program starts, for a test of what a lasting lock leads to.
    bool shortLockWait = false;
    scenario::ScriptedScreen screen;
    scenario::ScriptedClock clock;
    std::unique_ptr<app::Program> program;
};

} // namespace chengxi::testing
