#pragma once

namespace chengxi::ui {
struct Services;
}

// What the data page does when a page comes to the front.
namespace chengxi::backups {

// The data page lists the backups afresh each time it is shown: files may
// have come or gone in the folder since.
void pageShown(const ui::Services& services, int page);

} // namespace chengxi::backups
