#pragma once

namespace chengxi::ui {
struct Services;
}

// What the page 统计 does as the main window opens and when a page comes
// to the front.
namespace chengxi::overview {

// The kept filters go into the page's boxes before the page is first shown.
void mainWindowCreated(const ui::Services& services);
void pageShown(const ui::Services& services, int page);

} // namespace chengxi::overview
