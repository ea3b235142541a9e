#pragma once

#include <cstddef>

// The largest single request to operator new while a watch is alive, so a
// test can check that hostile bytes cannot make the reader ask for memory
// out of all proportion to their size. One watch at a time, one thread.
namespace chengxi::xls::testing {

class LargestAllocation {
public:
    LargestAllocation();
    ~LargestAllocation();
    LargestAllocation(const LargestAllocation&) = delete;
    LargestAllocation& operator=(const LargestAllocation&) = delete;

    std::size_t bytes() const;
};

} // namespace chengxi::xls::testing
