#pragma once

#include "auth/login_state.h"

namespace chengxi::ui {
struct Services;
}

namespace chengxi::auth {

// The save button of the password page: checks the old password against the
// stored one, then stores the new one and reads it back.
void changePassword(const ui::Services& services, LoginState& state);

} // namespace chengxi::auth
