#pragma once

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

namespace chengxi::schoolyear {

// The year-end promotion and library card buttons of the readers page and
// the controls of their dialogs.
void bindEvents(ui::EventBinder& binder, const ui::Services& services);

} // namespace chengxi::schoolyear
