#include "app/program.h"

#include "app/forms/control_names.h"
#include "app/forms/forms.h"
#include "store/initialisation.h"
#include "text/file_path.h"

namespace chengxi::app {

namespace login = names::login;
namespace mainw = names::main;

Program::Program(ProgramPaths paths, Screen& screen, Clock& clock)
    : paths_(std::move(paths)), screen_(screen), clock_(clock),
      library_(std::make_unique<Library>()) {
    bindEvents();
}

Program::~Program() = default;

std::string Program::databasePath() const {
    return text::joinPath(paths_.programFolder, store::kDatabaseFileName);
}

void Program::start() {
    login_ = std::make_unique<Window>(loginForm());
    screen_.windowOpened(*login_);
}

Window* Program::window(std::string_view windowId) {
    if (ended_) {
        return nullptr;
    }
    if (windowId == login::kWindow) {
        return login_.get();
    }
    if (windowId == mainw::kWindow) {
        return main_.get();
    }
    return nullptr;
}

void Program::activated(std::string_view windowId) {
    if (window(windowId) == nullptr || activatedOnce_.contains(windowId)) {
        return;
    }
    activatedOnce_.emplace(windowId);
    fire(windowId, "", Event::FirstActivated);
}

void Program::fire(std::string_view windowId, std::string_view control, Event event, int argument) {
    if (window(windowId) == nullptr) {
        return;
    }
    ++depth_;
    events_.run(windowId, control, event, argument);
    --depth_;
    if (depth_ == 0) {
        finishPendingCloses();
    }
}

void Program::showMainWindow() {
    if (main_ != nullptr || ended_) {
        return;
    }
    main_ = std::make_unique<Window>(mainForm());
    screen_.windowOpened(*main_);
    fire(mainw::kWindow, "", Event::Created);
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
        if (Window* closing = window(id); closing != nullptr) {
            ++depth_;
            events_.run(id, "", Event::AboutToBeDestroyed, 0);
            --depth_;
            destroyWindow(id == login::kWindow ? login_ : main_);
        }
    }
}

void Program::destroyWindow(std::unique_ptr<Window>& window) {
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
    destroyWindow(main_);
    destroyWindow(login_);
    pendingCloses_.clear();
    ended_ = true;
    exitCode_ = exitCode;
    screen_.programEnded(exitCode);
}

void Program::cleanup() {
    // Destroying the access objects closes the database if it is still open.
    library_.reset();
}

} // namespace chengxi::app
