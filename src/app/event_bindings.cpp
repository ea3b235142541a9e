// Which operation runs for which control event.
#include "app/forms/control_names.h"
#include "app/program.h"
#include "auth/login.h"
#include "auth/password_change.h"
#include "text/file_path.h"

namespace chengxi::app {

namespace login = names::login;
namespace mainw = names::main;

void Program::bindClick(std::string_view windowId, std::string_view control,
                        std::function<void()> operation) {
    events_.bind(windowId, control, Event::Clicked, [op = std::move(operation)](int) { op(); });
}

void Program::bindBusyButton(std::string_view control, std::function<void()> operation) {
    const std::string name(control);
    bindClick(mainw::kWindow, control, [this, name, op = std::move(operation)] {
        main_->control(name).setDisabled(true);
        op();
        // The operation may have ended the program and taken the window with it.
        if (Window* main = window(mainw::kWindow)) {
            main->control(name).setDisabled(false);
        }
    });
}

auth::LoginContext Program::loginContext() {
    return {*login_, screen_, clock_, *this, library_->login, text::toPath(paths_.settingsFile)};
}

void Program::bindEvents() {
    // The login window.
    events_.bind(login::kWindow, "", Event::FirstActivated, [this](int) {
        auto context = loginContext();
        auth::firstActivation(context);
    });
    bindClick(login::kWindow, login::kLogIn, [this] {
        auto context = loginContext();
        auth::loginCheck(context);
    });
    bindClick(login::kWindow, login::kMinimise, [this] { login_->setWindowState(2); });
    bindClick(login::kWindow, login::kClose, [this] { endProgram(0); });

    // The main window.
    events_.bind(mainw::kWindow, "", Event::Created, [this](int) { mainWindowStartUp(); });
    events_.bind(mainw::kWindow, "", Event::AboutToBeDestroyed,
                 [this](int) { mainWindowRelease(); });
    events_.bind(mainw::kWindow, mainw::kTabs, Event::PageChanged, [this](int) { pageChanged(); });
    bindClick(mainw::kWindow, mainw::kMinimise, [this] { main_->setWindowState(2); });
    bindClick(mainw::kWindow, mainw::kClose, [this] { endProgram(0); });
    bindClick(mainw::kWindow, mainw::kSavePassword, [this] {
        auth::PasswordChangeContext context{*main_, screen_, *this, library_->login,
                                            text::toPath(paths_.settingsFile)};
        auth::changePassword(context);
    });
}

} // namespace chengxi::app
