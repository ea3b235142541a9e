#pragma once

#include "auth/login_state.h"

#include <string>
#include <string_view>

namespace chengxi::ui {
struct Services;
}

namespace chengxi::auth {

// Clears the code panel and draws a new verification code on it.
void drawCode(const ui::Services& services, LoginState& state);

// The login window's first activation: a fresh failure count and a code.
void firstActivation(const ui::Services& services, LoginState& state);

// The login button: checks the password and the code, and opens the main
// window when both are right.
void loginCheck(const ui::Services& services, LoginState& state);

// Whether a typed password is the stored one, comparing its cipher text as
// the settings file would hand it back, so that a stored value shortened by
// a line break in its cipher text still lets its password in.
bool matchesStoredPassword(std::string_view typedPassword, std::string_view stored);

// The counted message of a wrong password, shared with the password change.
std::string wrongPasswordMessage(int failures);

// The message shown when the settings file is there but cannot be read or
// written, naming it; nothing has been changed.
std::string settingsFileFaultMessage(const ui::Services& services);

} // namespace chengxi::auth
