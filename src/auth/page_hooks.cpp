#include "auth/page_hooks.h"

namespace chengxi::auth {

void mainWindowCreated(LoginState& state) {
    state.failureCounter = 0;
}

} // namespace chengxi::auth
