#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chengxi::exchange {

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
    std::size_t probe(std::string_view text, std::size_t hash) const;

    std::string arena_;
    std::vector<std::size_t> ends_;
    // Open-addressing table of index + 1 (0 = empty slot), built on the first
    // call to intern().
    std::vector<std::uint32_t> slots_;
    std::size_t indexed_ = 0;
};

} // namespace chengxi::exchange
