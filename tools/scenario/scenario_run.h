#pragma once

#include "app/program.h"
#include "support/scripted_screen.h"
#include "support/temp_folder.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace chengxi::scenario {

struct ScenarioResult {
    bool passed = false;
    std::string failure; // "FILE:LINE: what was expected, what was found"
    std::vector<std::string> keptFolders;
};

// Runs one scenario file in fresh folders: the program folder and a second
// folder holding the settings file.
class ScenarioRun {
public:
    ScenarioRun(std::string scenarioPath, bool keepFolders);
    ScenarioResult run();

private:
    using Arguments = std::vector<std::string>;
    // Empty when the command held; otherwise what was expected and what was found.
    using Outcome = std::string;
    using Command = Outcome (ScenarioRun::*)(const Arguments&);

    Outcome execute(const Arguments& arguments);
    Outcome expect(const Arguments& arguments);
    std::string substitute(const std::string& argument) const;
    Outcome afterAction();

    // Set-up.
    Outcome setClock(const Arguments& arguments);
    Outcome setTicks(const Arguments& arguments);
    Outcome put(const Arguments& arguments);
    // Not part of the scenario contract: runs one statement on 数据库.sdb
    // through a separate connection (texts as code page 936), with VALUEs
    // bound to its "?" in order, to lay out tables for a scenario.
    Outcome runSql(const Arguments& arguments);
    Outcome writeSettings(const Arguments& arguments);
    Outcome start(const Arguments& arguments);
    Outcome restart(const Arguments& arguments);

    // Acting.
    Outcome type(const Arguments& arguments);
    Outcome click(const Arguments& arguments);
    Outcome enter(const Arguments& arguments);
    // Enter with the focus in an edit box, as a barcode scanner ends its code.
    Outcome enterIn(const std::string& windowId, const std::string& control);
    Outcome tab(const Arguments& arguments);
    Outcome pick(const Arguments& arguments);
    Outcome select(const Arguments& arguments);
    Outcome spin(const Arguments& arguments);
    Outcome answer(const Arguments& arguments);
    Outcome choose(const Arguments& arguments);
    Outcome chooseCancel(const Arguments& arguments);

    // Checking.
    Outcome expectMessage(const Arguments& arguments);
    Outcome expectNoMessage(const Arguments& arguments);
    Outcome expectText(const Arguments& arguments);
    Outcome expectEnabled(const Arguments& arguments);
    Outcome expectDisabled(const Arguments& arguments);
    Outcome expectFocus(const Arguments& arguments);
    Outcome expectRows(const Arguments& arguments);
    Outcome expectCell(const Arguments& arguments);
    Outcome expectRow(const Arguments& arguments);
    Outcome expectColumns(const Arguments& arguments);
    Outcome expectSelected(const Arguments& arguments);
    Outcome expectPage(const Arguments& arguments);
    Outcome expectProgress(const Arguments& arguments);
    Outcome expectWindow(const Arguments& arguments);
    Outcome expectShown(const Arguments& arguments);
    Outcome expectDialog(const Arguments& arguments);
    Outcome expectEnded(const Arguments& arguments);
    Outcome expectClipboard(const Arguments& arguments);
    Outcome expectPrinted(const Arguments& arguments);
    Outcome expectDrawing(const Arguments& arguments);
    Outcome expectSql(const Arguments& arguments);
    Outcome expectSqlFile(const Arguments& arguments);
    Outcome expectFile(const Arguments& arguments);
    Outcome expectBackups(const Arguments& arguments);
    Outcome expectSettings(const Arguments& arguments);
    Outcome expectSettingsFile(const Arguments& arguments);
    Outcome expectXls(const Arguments& arguments);
    Outcome expectXlsRows(const Arguments& arguments);

    // Finds a control a person is to act on: the window is open (and restored
    // if minimised) and the control exists. `usable` also requires that a
    // person could reach it.
    Outcome actOn(const std::string& windowId, const std::string& name, ui::Control*& control);
    Outcome findControl(const std::string& windowId, const std::string& name,
                        ui::Control*& control);
    Outcome fire(const std::string& windowId, const std::string& control, ui::Event event,
                 int argument = 0);
    std::string inProgramFolder(const std::string& path) const;
    bool running() const { return program_ != nullptr && !program_->ended(); }

    std::string path_;
    std::string here_;
    bool keep_;
    TempFolder programFolder_;
    TempFolder settingsFolder_;
    std::string settingsFile_;
    ScriptedClock clock_;
    std::unique_ptr<ScriptedScreen> screen_;
    std::unique_ptr<app::Program> program_;
    std::string lastCode_;
    bool sawEnded_ = false;
};

} // namespace chengxi::scenario
