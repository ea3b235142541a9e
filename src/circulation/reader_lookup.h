#pragma once

#include "circulation/circulation_state.h"

#include <optional>
#include <string_view>

namespace chengxi::ui {
struct Services;
}

namespace chengxi::circulation {

// The reader holding this card number (exact, case-sensitive), kept as the
// current reader. Nothing for an empty card, an unknown one or a failed
// query; the first of several readers with the same card wins.
std::optional<ReaderRecord> lookUpReader(const ui::Services& services, CirculationState& state,
                                         std::string_view card);

// The readers page's look-up button: fills class, name and card of the
// reader whose card number is typed in the look-up box.
void viewReader(const ui::Services& services, CirculationState& state);

} // namespace chengxi::circulation
