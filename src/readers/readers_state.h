#pragma once

namespace chengxi::readers {

struct ReadersState {
    // The reader list has not been filled since the main window opened; the
    // first showing of the readers page fills it.
    bool listPending = false;
};

} // namespace chengxi::readers
