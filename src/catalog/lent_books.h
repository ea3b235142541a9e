#pragma once

namespace chengxi::ui {
struct Services;
}

// Who holds the books of the search page: lent books stand out in the result
// list, and the selected book's holder is named in the status line.
namespace chengxi::catalog {

// Marks the rows of the result list whose book is lent.
void markLentBooks(const ui::Services& services);

// The status line says whether the selected book is lent, and to which card.
void showSelectedHolder(const ui::Services& services);

} // namespace chengxi::catalog
