#pragma once

#include "readers/readers_state.h"

namespace chengxi::ui {
struct Services;
}

// What the readers page does as the main window opens, after the database
// is restored and when a page comes to the front.
namespace chengxi::readers {

// The list is filled at the first showing of the page, not at start, so a
// librarian who never opens it never waits for it.
void mainWindowCreated(ReadersState& state);
// The list shows the replaced database: the next showing fills it again.
void libraryRestored(ReadersState& state);
void pageShown(const ui::Services& services, ReadersState& state, int page);

} // namespace chengxi::readers
