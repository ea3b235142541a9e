#pragma once

namespace chengxi::catalog {

// What the book pages remember between clicks, for the life of the main window.
struct CatalogueState {
    int pageOffset = 0; // rows skipped when browsing all books, never below 0
    int pageSize = 0;   // rows per page
    int bookTotal = 0;  // rows of the catalogue; 0 means not counted yet
};

} // namespace chengxi::catalog
