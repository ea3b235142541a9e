#pragma once

#include "circulation/circulation_state.h"

#include <optional>
#include <string>
#include <string_view>

namespace chengxi::ui {
struct Services;
}

namespace chengxi::circulation {

// The outcome of a look-up: the reader, or why there is none.
struct ReaderLookup {
    std::optional<library::Reader> reader;
    // Set when the database could not be read (another program's lock,
    // damage, ...): the card may well be there, and must not be said unknown.
    std::string failure;

    explicit operator bool() const { return reader.has_value(); }
    // What the librarian is told when no reader came back: `unknownCard` when
    // the card is not there, else what kept it from being read.
    std::string whyNone(std::string_view unknownCard) const;
};

// The reader holding this card number (exact, case-sensitive), kept as the
// current reader. No reader for an empty card, an unknown one or a failed
// query; the first of several readers with the same card wins.
ReaderLookup lookUpReader(const ui::Services& services, CirculationState& state,
                          std::string_view card);

// The readers page's look-up button: fills class, name and card of the
// reader whose card number is typed in the look-up box.
void viewReader(const ui::Services& services, CirculationState& state);

} // namespace chengxi::circulation
