#pragma once

#include "app/program.h"
#include "support/scripted_screen.h"
#include "text/date_time.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::trials {

// The local time every session reads; it does not move.
inline constexpr text::DateTime kSessionTime{2016, 3, 14, 10, 30, 0};

// The whole program, headless, on a given program folder and settings file:
// what a librarian does, as calls. Boxes offering Cancel are answered OK.
class Session {
public:
    Session(const std::string& programFolder, const std::string& settingsFile);

    // Logs in with the password (the settings file must hold it) and the
    // code shown; true when the main window opened.
    bool logIn(const std::string& password = "abc");
    void tab(int page);
    void type(std::string_view control, const std::string& text);
    void click(std::string_view control);
    void select(std::string_view list, int row);
    // Picks the item of a combo box with this text.
    void pick(std::string_view combo, std::string_view item);
    void spin(std::string_view box, int direction);
    // The next file dialog returns this path.
    void choose(const std::string& path);
    void close();

    app::Program& program() { return *program_; }
    // The program folder.
    std::filesystem::path folder() const;
    ui::Window& main();
    // The texts of the message boxes shown so far.
    std::vector<std::string> messages();

private:
    std::string programFolder_;
    scenario::ScriptedScreen screen_;
    scenario::ScriptedClock clock_;
    std::unique_ptr<app::Program> program_;
};

// The settings file holding the password "abc".
std::string settingsHoldingAbc();

} // namespace chengxi::trials
