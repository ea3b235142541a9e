#pragma once

#include "library/readers.h"

#include <optional>
#include <string>

namespace chengxi::circulation {

// What the lending page remembers between clicks, for the life of the main window.
struct CirculationState {
    // The reader found by the last lookup; nothing after a lookup that found none.
    std::optional<library::Reader> currentReader;
    // The card box's text at the last loan list refresh: the list shows this
    // card's loans, and a return is refused once the box says otherwise.
    std::string currentCard;
    // The reader whose loans the list shows, read with it; a return writes
    // this reader's row even when another reader was looked up since.
    std::optional<library::Reader> listedReader;
    // The title of the book found by the last lend-state lookup.
    std::string currentBookTitle;
};

} // namespace chengxi::circulation
