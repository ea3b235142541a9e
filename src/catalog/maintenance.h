#pragma once

#include "catalog/catalogue_state.h"

#include <functional>
#include <string>

namespace chengxi::ui {
struct Services;
}

// Keeping the catalogue from the search page: adding a book, changing the
// selected one, and withdrawing it. Each change is one transaction; the
// result list and the kept book total follow it.
namespace chengxi::catalog {

// Takes a backup of the database; empty when it was made, else what the
// librarian is told about the failure.
using BackUp = std::function<std::string()>;

// Opens the book window with empty boxes, to add a book.
void openAddBook(const ui::Services& services, CatalogueState& state);
// Opens the book window with every column of the book selected in the
// result list, to change it.
void openEditBook(const ui::Services& services, CatalogueState& state);
// The book window's save button: checks the boxes, then adds or changes the
// book and closes the window.
void saveBook(const ui::Services& services, CatalogueState& state);
void closeBookWindow(const ui::Services& services);

// The book selected in the result list leaves the catalogue, after a
// confirmation and a backup; refused while it is lent.
void withdrawBook(const ui::Services& services, CatalogueState& state, const BackUp& backUp);

} // namespace chengxi::catalog
