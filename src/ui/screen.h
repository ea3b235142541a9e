#pragma once

#include "text/date_time.h"
#include "ui/printout.h"

#include <cstdint>
#include <string>

namespace chengxi::ui {

class Control;
class Window;
struct FileDialogState;
struct PrintDocument;

enum class Buttons { Ok, OkCancel };
enum class Icon { None, Error, Information, Warning };
enum class Answer { Ok = 0, Cancel = 1 };

inline constexpr const char* kDefaultTitle = "信息：";

struct Message {
    std::string text;
    std::string title = kDefaultTitle;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    // The button Enter presses. Confirmations of what cannot be undone (a
    // clearing, a deletion) make it Cancel, so a stray Enter loses nothing.
    Answer defaultButton = Answer::Ok;
};

// What the operations ask of the screen. The Qt front end answers with real
// windows and dialogs; tests and the scenario driver with scripted answers.
class Screen {
public:
    virtual ~Screen() = default;

    // Modal to the application; returns the button pressed.
    virtual Answer messageBox(const Message& message) = 0;
    // Shows the control's current state at once, before the operation returns.
    virtual void repaintNow(const Window& window, const Control& control) = 0;
    // Shows the open or save dialog the state describes; on true the chosen
    // path is in its file name.
    virtual bool showFileDialog(FileDialogState& dialog) = 0;
    // Shows the document in a print preview, from which the librarian prints
    // it or saves it as PDF; false when it was not printed (cancelled, or no
    // printing here).
    virtual bool printDocument(const PrintDocument&) { return false; }
    virtual void setClipboardText(const std::string& text) = 0;
    virtual std::string clipboardText() = 0;
    // Prints on a printer chosen in the print dialog, or, with a path, writes
    // a PDF file there. A screen that cannot print says so.
    virtual PrintResult print(const Printout& printout, const std::string& pdfPath) {
        (void)printout;
        (void)pdfPath;
        return {.failure = "本机不能打印"};
    }

    // A window's model exists and is to be shown.
    virtual void windowOpened(Window& window) = 0;
    // A window is being destroyed; its model goes away after this call.
    virtual void windowClosing(Window& window) = 0;
    // The program has ended with this exit code.
    virtual void programEnded(int exitCode) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // The local date and time, whole seconds.
    virtual text::DateTime now() = 0;
    // Milliseconds since the system started, wrapping at 32 bits.
    virtual std::uint32_t ticks() = 0;
};

} // namespace chengxi::ui
