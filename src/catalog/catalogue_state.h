#pragma once

#include <cstdint>
#include <string>

namespace chengxi::catalog {

// What the book pages remember between clicks, for the life of the main window.
struct CatalogueState {
    int pageOffset = 0; // rows skipped when browsing all books, never below 0
    int pageSize = 0;   // rows per page
    int bookTotal = 0;  // rows of the catalogue; 0 means not counted yet
    // The book the book window changes: its row in 图书数据 (0 while the
    // window adds a book), its number when opened and its row in the results.
    std::int64_t editedRowId = 0;
    std::string editedNumber = {};
    int editedListRow = -1;
};

} // namespace chengxi::catalog
