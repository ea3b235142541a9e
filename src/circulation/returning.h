#pragma once

#include "circulation/circulation_state.h"

#include <string>

namespace chengxi::ui {
struct Services;
}

namespace chengxi::circulation {

// The return button: takes the selected loan off the reader's lists (rebuilt
// from the loan list as shown), stamps the return date on the book's open
// loan-report rows and puts the book back on the shelf, in one transaction.
void returnBook(const ui::Services& services, CirculationState& state);

// The steps of a return for `book`, listed in row `row` of the loan list of
// the listed reader (-1: not among them, the lists are kept as they are).
// True once the return is saved.
bool returnListedLoan(const ui::Services& services, CirculationState& state,
                      const std::string& book, int row);

} // namespace chengxi::circulation
