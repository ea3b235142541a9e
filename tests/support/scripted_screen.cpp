#include "support/scripted_screen.h"

#include "text/file_path.h"
#include "ui/controls/control.h"
#include "ui/controls/window.h"

namespace chengxi::scenario {

ui::Answer ScriptedScreen::messageBox(const ui::Message& message) {
    messages_.push_back({message, false});
    if (message.buttons == ui::Buttons::Ok) {
        return ui::Answer::Ok;
    }
    if (answers_.empty()) {
        if (problem_.empty()) {
            problem_ = "an answer for the box \"" + message.text + "\", found no answer line";
        }
        return ui::Answer::Cancel;
    }
    const ui::Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedScreen::repaintNow(const ui::Window& window, const ui::Control& control) {
    std::string shown;
    if (control.kind() == ui::ControlKind::ProgressBar) {
        shown = std::to_string(control.position());
    } else {
        shown = control.text();
    }
    repaints_.add(window.id(), control.name(), shown);
}

void ScriptedScreen::RepaintLog::add(std::string_view window, std::string_view control,
                                     std::string_view text) {
    controlOf_.push_back(static_cast<std::uint32_t>(controlIndex(window, control)));
    texts_ += text;
    textEnds_.push_back(texts_.size());
}

void ScriptedScreen::RepaintLog::clear() {
    controlOf_.clear();
    textEnds_.clear();
    texts_.clear();
}

std::size_t ScriptedScreen::RepaintLog::controlIndex(std::string_view window,
                                                     std::string_view control) {
    // The same control repaints many times in a row.
    if (lastControl_ < controls_.size() && controls_[lastControl_].first == window &&
        controls_[lastControl_].second == control) {
        return lastControl_;
    }
    for (lastControl_ = 0; lastControl_ < controls_.size(); ++lastControl_) {
        if (controls_[lastControl_].first == window && controls_[lastControl_].second == control) {
            return lastControl_;
        }
    }
    controls_.emplace_back(window, control);
    return lastControl_;
}

std::vector<std::string> ScriptedScreen::RepaintLog::shown(std::string_view window,
                                                           std::string_view control) const {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < controlOf_.size(); ++i) {
        const auto& [w, c] = controls_[controlOf_[i]];
        if (w == window && c == control) {
            const std::size_t begin = i == 0 ? 0 : textEnds_[i - 1];
            texts.push_back(texts_.substr(begin, textEnds_[i] - begin));
        }
    }
    return texts;
}

bool ScriptedScreen::RepaintLog::showed(std::string_view window, std::string_view control,
                                        std::string_view text) const {
    for (std::size_t i = 0; i < controlOf_.size(); ++i) {
        const auto& [w, c] = controls_[controlOf_[i]];
        const std::size_t begin = i == 0 ? 0 : textEnds_[i - 1];
        if (w == window && c == control &&
            std::string_view(texts_).substr(begin, textEnds_[i] - begin) == text) {
            return true;
        }
    }
    return false;
}

bool ScriptedScreen::showFileDialog(ui::FileDialogState& dialog) {
    lastDialog_ = DialogShown{dialog.type, dialog.initialFolder};
    if (files_.empty()) {
        if (problem_.empty()) {
            problem_ = "a choose line for the file dialog, found none";
        }
        return false;
    }
    const std::optional<std::string> path = files_.front();
    files_.pop_front();
    if (!path) {
        return false;
    }
    const auto chosen = text::toPath(*path);
    dialog.fileName =
        chosen.is_absolute() ? *path : text::fromPath(text::toPath(programFolder_) / chosen);
    return true;
}

std::string ScriptedScreen::takeProblem() {
    std::string problem = std::move(problem_);
    problem_.clear();
    return problem;
}

void ScriptedClock::advanceSeconds(std::int64_t seconds) {
    const std::int64_t total = text::dayNumber(now_.year, now_.month, now_.day) * 86400 +
                               now_.hour * 3600 + now_.minute * 60 + now_.second + seconds;
    const std::int64_t days = total >= 0 ? total / 86400 : (total - 86399) / 86400;
    const std::int64_t rest = total - days * 86400;
    now_ = text::fromDayNumber(days);
    now_.hour = static_cast<int>(rest / 3600);
    now_.minute = static_cast<int>(rest / 60 % 60);
    now_.second = static_cast<int>(rest % 60);
}

} // namespace chengxi::scenario
