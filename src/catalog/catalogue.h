#pragma once

#include "catalog/catalogue_state.h"

#include <string_view>

namespace chengxi::ui {
struct Services;
}

// The book search page: browsing the catalogue page by page, searching it by
// title, book number or barcode, and copying a book number.
namespace chengxi::catalog {

// The entries of the search mode box.
inline constexpr std::string_view kByTitle = "书名";
inline constexpr std::string_view kByBookNumber = "图书编号";
inline constexpr std::string_view kByBarcode = "条形码";
inline constexpr std::string_view kBrowseAll = "全部图书";

// Fills the result list for the current mode: one page of the catalogue when
// browsing (the search text is not used), every hit of the search text
// otherwise, and writes the status line. Counts the books first when the
// total is not known yet.
void listBooks(const ui::Services& services, CatalogueState& state, std::string_view searchText);

// The search button: checks the search text and the page size, starts at the
// first page and lists.
void searchClick(const ui::Services& services, CatalogueState& state);
// Browsing only: the page before, or the page after (past the last page
// once, then back to the first).
void pageUp(const ui::Services& services, CatalogueState& state);
void pageDown(const ui::Services& services, CatalogueState& state);
// Browsing takes no search text and pages; the other modes the reverse.
void modeChange(const ui::Services& services);

// The selected row's book number into the box beside the copy button.
void takeBookNumber(const ui::Services& services);
// That book number onto the clipboard, and what the clipboard then holds
// shown in a message.
void copyBookNumber(const ui::Services& services);

} // namespace chengxi::catalog
