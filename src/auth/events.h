#pragma once

#include "auth/login_state.h"

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

namespace chengxi::auth {

// The login window's activation and button, and the password page.
void bindEvents(ui::EventBinder& binder, const ui::Services& services, LoginState& state);

} // namespace chengxi::auth
