// The replay programs' operator new: a single allocation above the limit
// tools/fuzz.sh gives libFuzzer (-malloc_limit_mb) aborts, as it would under
// the fuzzer. In a file of its own, so that no caller sees it inlined.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kAllocationLimit = std::size_t{64} << 20;

} // namespace

void* operator new(std::size_t size) {
    if (size > kAllocationLimit) {
        std::fprintf(stderr, "a single allocation of %zu bytes\n", size);
        std::abort();
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
