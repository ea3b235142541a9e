#pragma once

#include "text/date_time.h"
#include "ui/screen.h"

#include <cstdint>
#include <deque>
#include <string>

// The screen and clock the benches drive the program with.
namespace chengxi::bench {

// Answers every box with OK, returns the queued paths from the file dialog
// and counts repaints, as cheaply as the model allows.
class BenchScreen final : public ui::Screen {
public:
    ui::Answer messageBox(const ui::Message& message) override {
        lastMessage = message.text;
        return ui::Answer::Ok;
    }
    void repaintNow(const ui::Window&, const ui::Control&) override { ++repaints; }
    bool showFileDialog(ui::FileDialogState& dialog) override {
        if (files.empty()) {
            return false;
        }
        dialog.fileName = files.front();
        files.pop_front();
        return true;
    }
    void setClipboardText(const std::string& text) override { clipboard_ = text; }
    std::string clipboardText() override { return clipboard_; }
    void windowOpened(ui::Window&) override {}
    void windowClosing(ui::Window&) override {}
    void programEnded(int) override {}

    std::deque<std::string> files;
    std::string lastMessage;
    long repaints = 0;

private:
    std::string clipboard_;
};

// A fixed day whose seconds move on, so backups in a run keep apart.
class BenchClock final : public ui::Clock {
public:
    text::DateTime now() override { return {2015, 11, 16, 10, 30, ++second_ % 60}; }
    std::uint32_t ticks() override { return 1000; }

private:
    int second_ = 0;
};

} // namespace chengxi::bench
