#pragma once

#include <cstddef>

// Watches the program's single allocations through operator new. Linking
// allocation_watch.cpp replaces the global operator new and delete (all the
// forms without an alignment) of the program it goes into.
namespace chengxi::testing {

// The largest single request while a watch is alive, so a test can check
// that hostile bytes cannot make a reader ask for memory out of all
// proportion to their size. One watch at a time.
class LargestAllocation {
public:
    LargestAllocation();
    ~LargestAllocation();
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;

    std::size_t bytes() const;
};

// From now on a single request above `bytes` ends the program with a
// message, as libFuzzer's -malloc_limit_mb does.
void abortOnAllocationsAbove(std::size_t bytes);

} // namespace chengxi::testing
