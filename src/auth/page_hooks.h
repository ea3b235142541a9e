#pragma once

#include "auth/login_state.h"

// What the login keeps as the main window opens.
namespace chengxi::auth {

// Wrong passwords typed at the login do not count toward the password
// page's limit.
void mainWindowCreated(LoginState& state);

} // namespace chengxi::auth
