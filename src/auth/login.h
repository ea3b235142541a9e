#pragma once

#include "auth/login_state.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace chengxi::app {
class Clock;
class Frame;
class Screen;
class Window;
} // namespace chengxi::app

namespace chengxi::auth {

// What the login window's operations work on.
struct LoginContext {
    app::Window& window;
    app::Screen& screen;
    app::Clock& clock;
    app::Frame& frame;
    LoginState& state;
    std::filesystem::path settingsFile;
};

// Clears the code panel and draws a new verification code on it.
void drawCode(LoginContext& context);

// The login window's first activation: a fresh failure count and a code.
void firstActivation(LoginContext& context);

// The login button: checks the password and the code, and opens the main
// window when both are right.
void loginCheck(LoginContext& context);

// Whether a typed password is the stored one, comparing its cipher text as
// the settings file would hand it back, so that a stored value shortened by
// a line break in its cipher text still lets its password in.
bool matchesStoredPassword(std::string_view typedPassword, std::string_view stored);

// The counted message of a wrong password, shared with the password change.
std::string wrongPasswordMessage(int failures);

} // namespace chengxi::auth
