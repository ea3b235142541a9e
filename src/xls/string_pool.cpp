#include "xls/string_pool.h"

#include <functional>

namespace chengxi::xls {

std::uint32_t StringPool::add(std::string_view text) {
    arena_.append(text);
    return commit();
}

std::uint32_t StringPool::commit() {
    ends_.push_back(static_cast<std::uint32_t>(arena_.size()));
    return static_cast<std::uint32_t>(ends_.size() - 1);
}

void StringPool::reserve(std::size_t count, std::size_t bytes) {
    ends_.reserve(count);
    arena_.reserve(bytes);
}

std::uint32_t StringPool::hashOf(std::string_view text) {
    const std::size_t hash = std::hash<std::string_view>{}(text);
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

std::size_t StringPool::probe(std::string_view text, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    while (true) {
        const std::uint32_t entry = slots_[slot];
        if (entry == 0) {
            return slot;
        }
        if (hashes_[entry - 1] == hash && at(entry - 1) == text) {
            return slot;
        }
        slot = (slot + 1) & mask;
    }
}

void StringPool::indexPending() {
    for (; indexed_ < ends_.size(); ++indexed_) {
        if (hashes_.size() <= indexed_) {
            hashes_.push_back(hashOf(at(static_cast<std::uint32_t>(indexed_))));
        }
        const std::uint32_t hash = hashes_[indexed_];
        const std::size_t slot = probe(at(static_cast<std::uint32_t>(indexed_)), hash);
        if (slots_[slot] == 0) {
            slots_[slot] = static_cast<std::uint32_t>(indexed_ + 1);
        }
    }
}

std::uint32_t StringPool::intern(std::string_view text) {
    // Keep the table at most 70 % full, and half full when it grows: a
    // small table stays in the cache, and the probes after a miss mostly
    // fall in the same cache line. Texts appended through add() since the
    // last call are indexed first.
    const std::size_t needed = ends_.size() + 1;
    if (slots_.size() * 7 < needed * 10) {
        std::size_t capacity = 64;
        while (capacity < needed * 2) {
            capacity *= 2;
        }
        slots_.assign(capacity, 0);
        indexed_ = 0;
    }
    indexPending();
    const std::uint32_t hash = hashOf(text);
    const std::size_t slot = probe(text, hash);
    if (slots_[slot] != 0) {
        return slots_[slot] - 1;
    }
    const std::uint32_t index = add(text);
    hashes_.push_back(hash);
    slots_[slot] = index + 1;
    indexed_ = ends_.size();
    return index;
}

} // namespace chengxi::xls
