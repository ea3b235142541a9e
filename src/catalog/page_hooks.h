#pragma once

#include "catalog/catalogue_state.h"

namespace chengxi::ui {
struct Services;
}

// What the book pages do as the main window opens and after the database is
// restored: browsing starts again at the first page, with the rows per page
// the page's box shows, and the catalogue is counted afresh.
namespace chengxi::catalog {

void mainWindowCreated(const ui::Services& services, CatalogueState& state);
void libraryRestored(const ui::Services& services, CatalogueState& state);

} // namespace chengxi::catalog
