#pragma once

#include <chrono>

namespace chengxi::testing {

// The lock wait of tests whose point is what follows once another program's
// lock outlasts the wait, not how long the wait is: the program's own three
// seconds, met several times a test, would only make them slow.
inline constexpr std::chrono::milliseconds kShortLockWait{50};

} // namespace chengxi::testing
