#include "auth/events.h"

#include "auth/login.h"
#include "auth/password_change.h"
#include "ui/event_binder.h"
#include "ui/forms/control_names.h"

namespace chengxi::auth {

void bindEvents(ui::EventBinder& binder, const ui::Services& services, LoginState& state) {
    namespace login = ui::names::login;
    binder.on(login::kWindow, "", ui::Event::FirstActivated,
              [&services, &state](int) { firstActivation(services, state); });
    binder.onClick(login::kWindow, login::kLogIn,
                   [&services, &state] { loginCheck(services, state); });
    binder.onClick(ui::names::main::kWindow, ui::names::main::kSavePassword,
                   [&services, &state] { changePassword(services, state); });
    for (const auto box : {ui::names::main::kUserName, ui::names::main::kOldPassword,
                           ui::names::main::kNewPassword}) {
        binder.onEnter(box, ui::names::main::kSavePassword);
    }
}

} // namespace chengxi::auth
