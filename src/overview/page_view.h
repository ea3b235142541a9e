#pragma once

namespace chengxi::ui {
struct Services;
}

namespace chengxi::overview {

// The page 统计 shows the overdue overview or the loan statistics, as its
// view box says: the controls of the other are hidden.
void showChosenView(const ui::Services& services);

} // namespace chengxi::overview
