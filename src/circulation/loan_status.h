#pragma once

#include "circulation/circulation_state.h"

namespace chengxi::ui {
struct Services;
}

namespace chengxi::circulation {

// Refills the loan list and the reader summary for the card number in the
// card box, which becomes the current card. Reads only.
void refreshLoanStatus(const ui::Services& services, CirculationState& state);

// The show-loans button: the same, once the card box holds text the
// database can store.
void showLoans(const ui::Services& services, CirculationState& state);

} // namespace chengxi::circulation
