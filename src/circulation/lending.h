#pragma once

#include "circulation/circulation_state.h"

#include <string>
#include <string_view>

namespace chengxi::ui {
struct Services;
}

namespace chengxi::circulation {

// Where a book stands for lending.
enum class LendState {
    Unknown,   // no such book, a book without a title, or the state unreadable
    NeverLent, // no row in 借出数据
    OnShelf,   // its 借出数据 row holds the card number "0"
    Out,       // its 借出数据 row holds another card number
};

// Looks the book up in the catalogue (its title becomes the current book
// title) and then in the lend state; names the holder of a book that is out
// in the borrower label, and clears that label for a book that is in.
// `bookFound`, when given, says whether a catalogue row has this number.
LendState lookUpLendState(const ui::Services& services, CirculationState& state,
                          std::string_view book, bool* bookFound = nullptr);

// The lend button: checks the reader and the book, then records the loan in
// the reader's lists, the loan report and the lend state in one transaction,
// and refreshes the loan list.
void lend(const ui::Services& services, CirculationState& state);

} // namespace chengxi::circulation
