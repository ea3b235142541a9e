#pragma once

#include "auth/login_state.h"

#include <filesystem>

namespace chengxi::app {
class Frame;
class Screen;
class Window;
} // namespace chengxi::app

namespace chengxi::auth {

struct PasswordChangeContext {
    app::Window& window; // the main window
    app::Screen& screen;
    app::Frame& frame;
    LoginState& state;
    std::filesystem::path settingsFile;
};

// The save button of the password page: checks the old password against the
// stored one, then stores the new one and reads it back.
void changePassword(PasswordChangeContext& context);

} // namespace chengxi::auth
