#pragma once

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

namespace chengxi::readers {

// The controls of the readers page: refresh, add, delete and taking a row.
// The first listing runs when the page is first shown (the program's page
// change), not from here.
void bindEvents(ui::EventBinder& binder, const ui::Services& services);

} // namespace chengxi::readers
