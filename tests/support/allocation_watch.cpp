#include "support/allocation_watch.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};
std::atomic<std::size_t> limit{0};

void* allocate(std::size_t size) noexcept {
    if (watching.load(std::memory_order_relaxed) &&
        size > largest.load(std::memory_order_relaxed)) {
        largest.store(size, std::memory_order_relaxed);
    }
    const std::size_t most = limit.load(std::memory_order_relaxed);
    if (most != 0 && size > most) {
        std::fprintf(stderr, "a single allocation of %zu bytes, above the limit of %zu\n", size,
                     most);
        std::abort();
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* allocateOrThrow(std::size_t size) {
    if (void* memory = allocate(size)) {
        return memory;
    }
    throw std::bad_alloc();
}

} // namespace

// Every form without an alignment, so that no allocation made by one form
// is freed by another that the sanitizers would call mismatched.
void* operator new(std::size_t size) {
    return allocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return allocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

namespace chengxi::testing {

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

void abortOnAllocationsAbove(std::size_t bytes) {
    limit = bytes;
}

} // namespace chengxi::testing
