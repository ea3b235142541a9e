#include "readers/page_hooks.h"

#include "readers/reader_listing.h"
#include "ui/forms/control_names.h"

namespace chengxi::readers {

namespace names = ui::names::main;

void mainWindowCreated(ReadersState& state) {
    state.listPending = true;
}

void libraryRestored(ReadersState& state) {
    state.listPending = true;
}

void pageShown(const ui::Services& services, ReadersState& state, int page) {
    // The list stays pending until a listing has really run, so a database
    // that was busy the first time is listed at the next showing.
    if (page == names::kPageReaders && state.listPending && listReaders(services)) {
        state.listPending = false;
    }
}

} // namespace chengxi::readers
