// Replaces the global operator new and delete of the test program with ones
// that note the largest request while a watch is alive.
#include "allocation_watch.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};

} // namespace

void* operator new(std::size_t size) {
    if (watching.load(std::memory_order_relaxed) &&
        size > largest.load(std::memory_order_relaxed)) {
        largest.store(size, std::memory_order_relaxed);
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace chengxi::xls::testing {

LargestAllocation::LargestAllocation() {
    largest = 0;
    watching = true;
}

LargestAllocation::~LargestAllocation() {
    watching = false;
}

std::size_t LargestAllocation::bytes() const {
    return largest;
}

} // namespace chengxi::xls::testing
