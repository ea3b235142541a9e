#pragma once

namespace chengxi::ui {
class EventBinder;
struct Services;
} // namespace chengxi::ui

namespace chengxi::overview {

// The page 统计: the overdue overview and the loan statistics.
void bindEvents(ui::EventBinder& binder, const ui::Services& services);

} // namespace chengxi::overview
