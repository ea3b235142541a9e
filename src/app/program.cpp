#include "app/program.h"

#include "platform/temporary_file.h"
#include "text/file_path.h"
#include "ui/forms/control_names.h"
#include "ui/forms/forms.h"

namespace chengxi::app {

namespace login = ui::names::login;
namespace mainw = ui::names::main;

Program::Program(ProgramPaths paths, ui::Screen& screen, ui::Clock& clock)
    : paths_(std::move(paths)), screen_(screen), services_{screen,
                                                           clock,
                                                           *this,
                                                           library_.database,
                                                           paths_.programFolder,
                                                           text::toPath(paths_.settingsFile)} {
    bindEvents();
}

Program::~Program() = default;

void Program::start() {
    // Temporaries left by a write that was cut short (the program killed,
    // the power gone) are removed before anything else is written.
    platform::removeStaleTemporaryFiles(text::toPath(paths_.programFolder));
    platform::removeStaleTemporaryFiles(text::toPath(paths_.settingsFile).parent_path());
    login_ = std::make_unique<ui::Window>(ui::loginForm());
    login_->focusFirstEntry();
    screen_.windowOpened(*login_);
}

ui::Window* Program::window(std::string_view windowId) {
    if (ended_) {
        return nullptr;
    }
    if (windowId == login::kWindow) {
        return login_.get();
    }
    if (windowId == mainw::kWindow) {
        return main_.get();
    }
    std::unique_ptr<ui::Window>* dialog = dialogOf(windowId);
    return dialog != nullptr ? dialog->get() : nullptr;
}

std::unique_ptr<ui::Window>* Program::dialogOf(std::string_view windowId) {
    for (std::unique_ptr<ui::Window>& dialog : dialogs_) {
        if (dialog != nullptr && dialog->id() == windowId) {
            return &dialog;
        }
    }
    return nullptr;
}

ui::Window* Program::openDialog(const ui::FormRecord& form) {
    if (ended_ || window(form.id) != nullptr) {
        return nullptr;
    }
    std::erase(dialogs_, nullptr);
    ui::Window& dialog = *dialogs_.emplace_back(std::make_unique<ui::Window>(form));
    dialog.focusFirstEntry();
    screen_.windowOpened(dialog);
    return &dialog;
}

void Program::activated(std::string_view windowId) {
    if (window(windowId) == nullptr || activatedOnce_.contains(windowId)) {
        return;
    }
    activatedOnce_.emplace(windowId);
    fire(windowId, "", ui::Event::FirstActivated);
}

void Program::fire(std::string_view windowId, std::string_view control, ui::Event event,
                   int argument) {
    if (window(windowId) == nullptr) {
        return;
    }
    ++depth_;
    if (!events_.run(windowId, control, event, argument) && event == ui::Event::EnterPressed) {
        pressDefaultButton(windowId);
    }
    --depth_;
    if (depth_ == 0) {
        finishPendingCloses();
    }
}

void Program::pressDefaultButton(std::string_view windowId) {
    const ui::Window& target = *window(windowId);
    for (const ui::Control& control : target.controls()) {
        if (control.isDefaultButton() && target.isUsable(control)) {
            events_.run(windowId, control.name(), ui::Event::Clicked, 0);
            return;
        }
    }
}

void Program::showMainWindow() {
    if (main_ != nullptr || ended_) {
        return;
    }
    main_ = std::make_unique<ui::Window>(ui::mainForm());
    screen_.windowOpened(*main_);
    fire(mainw::kWindow, "", ui::Event::Created);
}

void Program::closeWindow(std::string_view windowId) {
    if (window(windowId) != nullptr) {
        pendingCloses_.emplace_back(windowId);
    }
}

void Program::finishPendingCloses() {
    while (!pendingCloses_.empty() && !ended_) {
        const std::string id = pendingCloses_.front();
        pendingCloses_.erase(pendingCloses_.begin());
        if (window(id) != nullptr) {
            ++depth_;
            events_.run(id, "", ui::Event::AboutToBeDestroyed, 0);
            --depth_;
            if (id == login::kWindow || id == mainw::kWindow) {
                destroyWindow(id == login::kWindow ? login_ : main_);
            } else if (std::unique_ptr<ui::Window>* dialog = dialogOf(id)) {
                destroyWindow(*dialog);
            }
        }
    }
}

void Program::destroyWindow(std::unique_ptr<ui::Window>& window) {
    if (window != nullptr) {
        screen_.windowClosing(*window);
        window.reset();
    }
}

void Program::endProgram(int exitCode) {
    if (ended_) {
        return;
    }
    if (main_ != nullptr) {
        mainWindowRelease();
    }
    cleanup();
    for (std::unique_ptr<ui::Window>& dialog : dialogs_) {
        destroyWindow(dialog);
    }
    destroyWindow(main_);
    destroyWindow(login_);
    pendingCloses_.clear();
    ended_ = true;
    exitCode_ = exitCode;
    screen_.programEnded(exitCode);
}

void Program::cleanup() {
    // The access objects let go of the database file; they stay as closed
    // objects, so nothing that still holds them can reach a dead one.
    library_.database.closeAll();
}

} // namespace chengxi::app
