#pragma once

#include "xls/byte_io.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

namespace chengxi::xls {

// An image of a file, of its full size, in which only the parts read stand.
// The rest is never touched, so it costs no memory: a large workbook is
// opened by reading its allocation table and directory, not the whole file.
class PartialImage {
public:
    // Nothing when the file cannot be opened, or is too small or too large
    // to be a workbook.
    static std::optional<PartialImage> open(const std::filesystem::path& path);

    // Reads [offset, offset + length) of the file, clipped to its end.
    bool fill(std::size_t offset, std::size_t length);

    Bytes bytes() const { return {bytes_.get(), size_}; }
    std::size_t size() const { return size_; }

private:
    PartialImage() = default;

    std::ifstream file_;
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_ = 0;
};

// The image of the compound file at `path` holding what CompoundFile::parse
// looks at: the header, the DIFAT and FAT sectors, and the chains of the
// directory, the mini FAT and the mini stream. Nothing for anything
// unexpected; the caller then reads the whole file, for the parser to judge.
std::optional<PartialImage> readCompoundSkeleton(const std::filesystem::path& path);

} // namespace chengxi::xls
