#pragma once

#include "ui/print_document.h"
#include "ui/screen.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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
    // Every repaint, kept compactly: an import of 60,000 rows repaints its
    // counter 60,000 times, and the driver's own record must not weigh on
    // the memory measured of the program it runs.
    class RepaintLog {
    public:
        void add(std::string_view window, std::string_view control, std::string_view text);
        void clear();
        // What `control` of `window` showed, in order.
        std::vector<std::string> shown(std::string_view window, std::string_view control) const;
        bool showed(std::string_view window, std::string_view control, std::string_view text) const;

    private:
        std::size_t controlIndex(std::string_view window, std::string_view control);

        std::vector<std::pair<std::string, std::string>> controls_; // window, control
        std::size_t lastControl_ = 0;
        std::vector<std::uint32_t> controlOf_; // of each repaint
        std::vector<std::size_t> textEnds_;    // of each repaint, in texts_
        std::string texts_;
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
    const RepaintLog& repaints() const { return repaints_; }
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
    RepaintLog repaints_;
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
