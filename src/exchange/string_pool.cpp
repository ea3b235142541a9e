#include "exchange/string_pool.h"

#include <functional>

namespace chengxi::exchange {

std::uint32_t StringPool::add(std::string_view text) {
    arena_.append(text);
    return commit();
}

std::uint32_t StringPool::commit() {
    ends_.push_back(arena_.size());
    return static_cast<std::uint32_t>(ends_.size() - 1);
}

void StringPool::reserve(std::size_t count, std::size_t bytes) {
    ends_.reserve(count);
    arena_.reserve(bytes);
}

std::size_t StringPool::probe(std::string_view text, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = hash & mask;
    while (slots_[slot] != 0 && at(slots_[slot] - 1) != text) {
        slot = (slot + 1) & mask;
    }
    return slot;
}

void StringPool::indexPending() {
    const std::hash<std::string_view> hasher;
    for (; indexed_ < ends_.size(); ++indexed_) {
        const std::string_view text = at(static_cast<std::uint32_t>(indexed_));
        const std::size_t slot = probe(text, hasher(text));
        if (slots_[slot] == 0) {
            slots_[slot] = static_cast<std::uint32_t>(indexed_ + 1);
        }
    }
}

std::uint32_t StringPool::intern(std::string_view text) {
    // Keep the table at most half full; texts appended through add() since
    // the last call are indexed first.
    const std::size_t needed = ends_.size() + 1;
    if (slots_.size() < 2 * needed) {
        std::size_t capacity = 64;
        while (capacity < 4 * needed) {
            capacity *= 2;
        }
        slots_.assign(capacity, 0);
        indexed_ = 0;
    }
    indexPending();
    const std::size_t slot = probe(text, std::hash<std::string_view>{}(text));
    if (slots_[slot] != 0) {
        return slots_[slot] - 1;
    }
    const std::uint32_t index = add(text);
    slots_[slot] = index + 1;
    indexed_ = ends_.size();
    return index;
}

} // namespace chengxi::exchange
