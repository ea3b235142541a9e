#pragma once

#include "ui/print_document.h"
#include "ui/screen.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace chengxi::scenario {

// The screen of a scenario: message boxes are logged and answered from a
// script, file dialogs return scripted paths, repaints are recorded.
class ScriptedScreen final : public ui::Screen {
public:
    struct ShownMessage {
        ui::Message message;
        bool checked = false;
    };
    struct Repaint {
        std::string window;
        std::string control;
        std::string text;
    };
    struct DialogShown {
        int type = 0;
        std::string initialFolder;
    };

    explicit ScriptedScreen(std::string programFolder) : programFolder_(std::move(programFolder)) {}

    ui::Answer messageBox(const ui::Message& message) override;
    void repaintNow(const ui::Window& window, const ui::Control& control) override;
    bool showFileDialog(ui::FileDialogState& dialog) override;
    // Printed at once, as if the preview's print button were pressed.
    bool printDocument(const ui::PrintDocument& document) override {
        printed_ = document;
        return true;
    }
    void setClipboardText(const std::string& text) override { clipboard_ = text; }
    std::string clipboardText() override { return clipboard_; }
    void windowOpened(ui::Window&) override {}
    void windowClosing(ui::Window&) override {}
    void programEnded(int exitCode) override { exitCode_ = exitCode; }

    // Script.
    void queueAnswer(ui::Answer answer) { answers_.push_back(answer); }
    void queueFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }

    // What happened.
    std::vector<ShownMessage>& messages() { return messages_; }
    const std::vector<Repaint>& repaints() const { return repaints_; }
    void forgetRepaints() { repaints_.clear(); }
    const std::optional<DialogShown>& lastDialog() const { return lastDialog_; }
    const std::string& clipboard() const { return clipboard_; }
    const std::optional<ui::PrintDocument>& printed() const { return printed_; }
    std::optional<int> exitCode() const { return exitCode_; }
    // A problem the script caused (an unanswered box, an unscripted dialog);
    // empty when there was none since the last call.
    std::string takeProblem();

private:
    std::string programFolder_;
    std::deque<ui::Answer> answers_;
    std::deque<std::optional<std::string>> files_;
    std::vector<ShownMessage> messages_;
    std::vector<Repaint> repaints_;
    std::optional<DialogShown> lastDialog_;
    std::string clipboard_;
    std::optional<ui::PrintDocument> printed_;
    std::optional<int> exitCode_;
    std::string problem_;
};

// A clock that moves only when the scenario moves it.
class ScriptedClock final : public ui::Clock {
public:
    text::DateTime now() override { return now_; }
    std::uint32_t ticks() override { return ticks_; }
    void set(const text::DateTime& when) { now_ = when; }
    void setTicks(std::uint32_t ticks) { ticks_ = ticks; }
    void advanceSeconds(std::int64_t seconds);

private:
    text::DateTime now_{2015, 11, 16, 9, 0, 0};
    std::uint32_t ticks_ = 1000;
};

} // namespace chengxi::scenario
