#pragma once

#include <string_view>

namespace chengxi::ui {

class Window;
struct FormRecord;

// The frame services operations may call: the windows' life and the end of
// the program. An operation that ends the program returns at once after it.
class Frame {
public:
    virtual ~Frame() = default;
    // Loads the main window from its form, shows it and runs its created event.
    virtual void showMainWindow() = 0;
    // Loads a dialog window from its form and shows it, modal to the main
    // window; null when a window of that id is open already.
    virtual Window* openDialog(const FormRecord& form) = 0;
    // The window is destroyed once the current operation has returned.
    virtual void closeWindow(std::string_view windowId) = 0;
    // Runs the cleanup and ends the program with the exit code.
    virtual void endProgram(int exitCode) = 0;
    virtual bool ended() const = 0;
    // The open window of that id; null when it is not open or the program has ended.
    virtual Window* window(std::string_view windowId) = 0;
};

} // namespace chengxi::ui
