#pragma once

#include "circulation/circulation_state.h"

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

namespace chengxi::circulation {

// The lending page, the loan report page and the readers page's look-up button.
void bindEvents(ui::EventBinder& binder, const ui::Services& services, CirculationState& state);

} // namespace chengxi::circulation
