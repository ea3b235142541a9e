#pragma once

#include "circulation/circulation_state.h"

namespace chengxi::ui {
struct Services;
}

namespace chengxi::circulation {

// The return button: takes the selected loan off the reader's lists (rebuilt
// from the loan list as shown), stamps the return date on the book's open
// loan-report rows and puts the book back on the shelf, in one transaction.
void returnBook(const ui::Services& services, CirculationState& state);

} // namespace chengxi::circulation
