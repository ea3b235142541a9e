#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::xls {

// The texts of a workbook's cells, stored end to end in one buffer so that a
// sheet of a million text cells costs one allocation, not a million.
class StringPool {
public:
    // Appends a text and returns its index.
    std::uint32_t add(std::string_view text);
    // Returns the index of an equal text already in the pool, or adds it.
    std::uint32_t intern(std::string_view text);

    std::string_view at(std::uint32_t index) const {
        const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
        return std::string_view(arena_).substr(begin, ends_[index] - begin);
    }
    std::size_t size() const { return ends_.size(); }
    // Bytes of all texts together.
    std::size_t byteSize() const { return arena_.size(); }
    void reserve(std::size_t count, std::size_t bytes);

    // Appending in place, for decoders that write UTF-8 piece by piece:
    // write into buffer(), then call commit() to close the text.
    std::string& buffer() { return arena_; }
    std::uint32_t commit();

private:
    void indexPending();
    std::size_t probe(std::string_view text, std::uint32_t hash) const;
    static std::uint32_t hashOf(std::string_view text);

    std::string arena_;
    // Where each text ends: the arena of a workbook stays far below 4 GB.
    std::vector<std::uint32_t> ends_;
    // Open-addressing table built on the first call to intern(): each slot
    // holds a text's index + 1 (0 = empty); the texts' hashes beside them
    // settle most mismatches without touching the text.
    std::vector<std::uint32_t> slots_;
    std::vector<std::uint32_t> hashes_; // per text, once indexed
    std::size_t indexed_ = 0;
};

} // namespace chengxi::xls
