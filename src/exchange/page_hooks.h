#pragma once

namespace chengxi::ui {
struct Services;
}

// What the import pages do as the main window opens.
namespace chengxi::exchange {

// The book import's preview gets its grid and one column per sheet column
// A to Z, so a chosen workbook's first rows line up under their letters.
void mainWindowCreated(const ui::Services& services);

} // namespace chengxi::exchange
