#include "session.h"

#include "text/file_path.h"
#include "ui/forms/control_names.h"

#include <algorithm>

namespace chengxi::trials {

namespace login = ui::names::login;
namespace mainw = ui::names::main;

std::string settingsHoldingAbc() {
    return "[login]\r\npass=\x11\x86\xe0\x79\xe1\xeb\x96\x13\r\n";
}

Session::Session(const std::string& programFolder, const std::string& settingsFile)
    : programFolder_(programFolder), screen_(programFolder),
      program_(std::make_unique<app::Program>(app::ProgramPaths{programFolder, settingsFile},
                                              screen_, clock_)) {
    clock_.set(kSessionTime);
    for (int i = 0; i < 64; ++i) {
        screen_.queueAnswer(ui::Answer::Ok);
    }
    program_->start();
    program_->activated(login::kWindow);
}

bool Session::logIn(const std::string& password) {
    ui::Window* window = program_->window(login::kWindow);
    if (window == nullptr) {
        return false;
    }
    window->control(login::kPassword).setText(password);
    window->control(login::kCode).setText(program_->library().login.currentCode);
    program_->fire(login::kWindow, login::kLogIn, ui::Event::Clicked);
    program_->activated(mainw::kWindow);
    return program_->window(mainw::kWindow) != nullptr;
}

std::filesystem::path Session::folder() const {
    return text::toPath(programFolder_);
}

ui::Window& Session::main() {
    return *program_->window(mainw::kWindow);
}

void Session::tab(int page) {
    main().control(mainw::kTabs).setCurrentPage(page);
    program_->fire(mainw::kWindow, mainw::kTabs, ui::Event::PageChanged);
}

void Session::type(std::string_view control, const std::string& text) {
    main().control(control).setText(text);
}

void Session::click(std::string_view control) {
    program_->fire(mainw::kWindow, control, ui::Event::Clicked);
}

void Session::select(std::string_view list, int row) {
    ui::Control& control = main().control(list);
    if (control.kind() == ui::ControlKind::ListBox) {
        control.setCurrentItem(row);
        return;
    }
    control.listView().setSelected(row);
    program_->fire(mainw::kWindow, list, ui::Event::RowSelected);
}

void Session::pick(std::string_view combo, std::string_view item) {
    ui::Control& box = main().control(combo);
    const auto& items = box.items();
    const auto found = std::find(items.begin(), items.end(), item);
    if (found != items.end()) {
        box.setCurrentItem(static_cast<int>(found - items.begin()));
        program_->fire(mainw::kWindow, combo, ui::Event::SelectionChanged);
    }
}

void Session::spin(std::string_view box, int direction) {
    program_->fire(mainw::kWindow, box, ui::Event::Spin, direction);
}

void Session::choose(const std::string& path) {
    screen_.queueFile(path);
}

void Session::close() {
    if (!program_->ended()) {
        program_->endProgram(0);
    }
}

std::vector<std::string> Session::messages() {
    std::vector<std::string> texts;
    for (const auto& shown : screen_.messages()) {
        texts.push_back(shown.message.text);
    }
    return texts;
}

} // namespace chengxi::trials
