#pragma once

#include "circulation/circulation_state.h"

namespace chengxi::ui {
struct Services;
}

namespace chengxi::circulation {

// The return-by-book button: the number or barcode in the book box finds the
// reader who holds the book; that reader's loans are shown as a look-up shows
// them, and the loan is returned as the return button returns it.
void returnByBook(const ui::Services& services, CirculationState& state);

} // namespace chengxi::circulation
