#include "xls/compound_file_image.h"

#include "xls/compound_file_format.h"
#include "xls/workbook_file.h"

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <vector>

namespace chengxi::xls {

std::optional<PartialImage> PartialImage::open(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size <= cfb::kHeaderSize || size > kMaxWorkbookFileSize) {
        return std::nullopt;
    }
    PartialImage image;
    image.file_.open(path, std::ios::binary);
    if (!image.file_) {
        return std::nullopt;
    }
    image.size_ = static_cast<std::size_t>(size);
    image.bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(image.size_);
    return image;
}

bool PartialImage::fill(std::size_t offset, std::size_t length) {
    if (offset >= size_) {
        return false;
    }
    length = std::min(length, size_ - offset);
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(reinterpret_cast<char*>(bytes_.get() + offset),
               static_cast<std::streamsize>(length));
    return static_cast<std::size_t>(file_.gcount()) == length;
}

namespace {

// Follows the header to the sectors CompoundFile::parse reads, filling each
// into the image. Every number is checked against the file before it is
// followed, so a damaged file ends the walk instead of looping.
class CompoundPrefetch {
public:
    explicit CompoundPrefetch(PartialImage& image) : image_(image) {}

    bool run() {
        if (!image_.fill(0, cfb::kHeaderSize)) {
            return false;
        }
        const std::uint16_t shift = readU16(at(cfb::header::kSectorShift));
        if (shift != cfb::kSectorShift3 && shift != cfb::kSectorShift4) {
            return false;
        }
        shift_ = shift;
        sectorSize_ = std::size_t{1} << shift;
        if (image_.size() <= sectorSize_) {
            return false;
        }
        sectorCount_ = (image_.size() - 1) / sectorSize_;
        return image_.fill(0, sectorSize_) && readFat() &&
               followChain(readU32(at(cfb::header::kFirstDirectorySector))) &&
               followChain(readU32(at(cfb::header::kFirstMiniFatSector))) && followMiniStream();
    }

private:
    const std::uint8_t* at(std::size_t offset) const { return image_.bytes().data() + offset; }
    std::size_t sectorOffset(std::uint32_t sector) const {
        return (std::size_t{sector} + 1) << shift_;
    }
    bool fillSector(std::uint32_t sector) {
        return sector < sectorCount_ && image_.fill(sectorOffset(sector), sectorSize_);
    }

    bool readFat() {
        const std::uint32_t fatCount = readU32(at(cfb::header::kFatSectorCount));
        if (fatCount > sectorCount_) {
            return false;
        }
        for (std::size_t i = 0; i < cfb::kHeaderDifatEntries && fatSectors_.size() < fatCount;
             ++i) {
            fatSectors_.push_back(readU32(at(cfb::header::kDifat + cfb::kSectorNumberSize * i)));
        }
        const std::size_t perDifat = sectorSize_ / cfb::kSectorNumberSize - 1;
        std::uint32_t difat = readU32(at(cfb::header::kFirstDifatSector));
        const std::uint32_t difatCount = readU32(at(cfb::header::kDifatSectorCount));
        for (std::uint32_t visited = 0; fatSectors_.size() < fatCount; ++visited) {
            if (difat > cfb::kMaxRegularSector || visited > difatCount || !fillSector(difat)) {
                return false;
            }
            const std::size_t offset = sectorOffset(difat);
            for (std::size_t i = 0; i < perDifat && fatSectors_.size() < fatCount; ++i) {
                fatSectors_.push_back(readU32(at(offset + cfb::kSectorNumberSize * i)));
            }
            difat = readU32(at(offset + cfb::kSectorNumberSize * perDifat));
        }
        return std::all_of(fatSectors_.begin(), fatSectors_.end(),
                           [&](std::uint32_t sector) { return fillSector(sector); });
    }

    std::optional<std::uint32_t> fatEntry(std::uint32_t sector) const {
        const std::size_t perSector = sectorSize_ / cfb::kSectorNumberSize;
        const std::size_t fatSector = sector / perSector;
        if (fatSector >= fatSectors_.size()) {
            return std::nullopt;
        }
        return readU32(at(sectorOffset(fatSectors_[fatSector]) +
                          cfb::kSectorNumberSize * (sector % perSector)));
    }

    // Reads every sector of a chain; the end of chain (or free) ends it.
    bool followChain(std::uint32_t sector) {
        for (std::uint64_t steps = 0; sector <= cfb::kMaxRegularSector; ++steps) {
            if (steps > sectorCount_ || !fillSector(sector)) {
                return false;
            }
            const std::optional<std::uint32_t> next = fatEntry(sector);
            if (!next) {
                return false;
            }
            sector = *next;
        }
        return true;
    }

    // The mini stream is the root entry's, the directory's first entry.
    bool followMiniStream() {
        const std::uint32_t firstDirectory = readU32(at(cfb::header::kFirstDirectorySector));
        if (firstDirectory >= sectorCount_) {
            return false;
        }
        const std::size_t root = sectorOffset(firstDirectory);
        return readU32(at(root + cfb::entry::kSize)) == 0 ||
               followChain(readU32(at(root + cfb::entry::kStartSector)));
    }

    PartialImage& image_;
    unsigned shift_ = cfb::kSectorShift3;
    std::size_t sectorSize_ = std::size_t{1} << cfb::kSectorShift3;
    std::uint64_t sectorCount_ = 0;
    std::vector<std::uint32_t> fatSectors_;
};

} // namespace

std::optional<PartialImage> readCompoundSkeleton(const std::filesystem::path& path) {
    std::optional<PartialImage> image = PartialImage::open(path);
    if (!image || !CompoundPrefetch(*image).run()) {
        return std::nullopt;
    }
    return image;
}

} // namespace chengxi::xls
