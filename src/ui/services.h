#pragma once

#include <filesystem>
#include <string>

namespace chengxi::store {
struct Database;
}

namespace chengxi::ui {

class Clock;
class Frame;
class Screen;
class Window;

// What every operation works with, handed to each feature when its events
// are bound: the screen services, the clock, the program frame (windows and
// the end of the program), the database and where the program's files are.
struct Services {
    Screen& screen;
    Clock& clock;
    Frame& frame;
    store::Database& database;
    std::string programFolder; // UTF-8; holds the database and its backups
    std::filesystem::path settingsFile;

    // The open window; calling these while the window is not open is a
    // programming error and aborts.
    Window& loginWindow() const;
    Window& mainWindow() const;
    // The database file in the program's folder, UTF-8.
    std::string databasePath() const;
};

} // namespace chengxi::ui
