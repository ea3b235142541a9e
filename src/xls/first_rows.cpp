#include "xls/first_rows.h"

#include "xls/biff_records.h"
#include "xls/biff_stream.h"
#include "xls/compound_file.h"
#include "xls/file_io.h"
#include "xls/workbook_file.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>

namespace chengxi::xls {
namespace {

// The compound file's header fields that lead to its allocation table,
// directory and mini stream.
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kSectorShiftAt = 30;
constexpr std::size_t kFatSectorCountAt = 44;
constexpr std::size_t kFirstDirectoryAt = 48;
constexpr std::size_t kFirstMiniFatAt = 60;
constexpr std::size_t kFirstDifatAt = 68;
constexpr std::size_t kDifatSectorCountAt = 72;
constexpr std::size_t kHeaderDifatAt = 76;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
// The root entry's mini stream start and size.
constexpr std::size_t kEntryStartAt = 116;
constexpr std::size_t kEntrySizeAt = 120;
// What is read of the workbook stream before its sheets' positions are known.
constexpr std::size_t kGlobalsGuess = 64 * 1024;
// How far past the last sheet's start the first rows are looked for.
constexpr std::size_t kFirstRowsReach = 256 * 1024;

// An image of the file, of its full size, in which only the parts read
// stand. The rest is never touched, so it costs no memory: choosing a large
// workbook reads its allocation table, its directory and the first part of
// its workbook stream, not the whole file.
class PartialImage {
public:
    static std::optional<PartialImage> open(const std::filesystem::path& path) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (error || size <= kHeaderSize || size > kMaxWorkbookFileSize) {
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

    // Reads [offset, offset + length) of the file, clipped to its end.
    bool fill(std::size_t offset, std::size_t length) {
        if (offset >= size_) {
            return false;
        }
        length = std::min(length, size_ - offset);
        file_.seekg(static_cast<std::streamoff>(offset));
        file_.read(reinterpret_cast<char*>(bytes_.get() + offset),
                   static_cast<std::streamsize>(length));
        return static_cast<std::size_t>(file_.gcount()) == length;
    }

    Bytes bytes() const { return {bytes_.get(), size_}; }
    std::size_t size() const { return size_; }

private:
    PartialImage() = default;

    std::ifstream file_;
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_ = 0;
};

// Reads into the image what CompoundFile::parse looks at: the header, the
// DIFAT and FAT sectors, and the chains of the directory, the mini FAT and
// the mini stream. False for anything unexpected; the whole file is then
// read instead, and judged by the parser.
class CompoundPrefetch {
public:
    explicit CompoundPrefetch(PartialImage& image) : image_(image) {}

    bool run() {
        if (!image_.fill(0, kHeaderSize)) {
            return false;
        }
        const std::uint16_t shift = readU16(at(kSectorShiftAt));
        if (shift != 9 && shift != 12) {
            return false;
        }
        shift_ = shift;
        sectorSize_ = std::size_t{1} << shift;
        if (image_.size() <= sectorSize_) {
            return false;
        }
        sectorCount_ = (image_.size() - 1) / sectorSize_;
        return image_.fill(0, sectorSize_) && readFat() &&
               followChain(readU32(at(kFirstDirectoryAt))) &&
               followChain(readU32(at(kFirstMiniFatAt))) && followMiniStream();
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
        const std::uint32_t fatCount = readU32(at(kFatSectorCountAt));
        if (fatCount > sectorCount_) {
            return false;
        }
        for (std::size_t i = 0; i < kHeaderDifatEntries && fatSectors_.size() < fatCount; ++i) {
            fatSectors_.push_back(readU32(at(kHeaderDifatAt + 4 * i)));
        }
        const std::size_t perDifat = sectorSize_ / 4 - 1;
        std::uint32_t difat = readU32(at(kFirstDifatAt));
        const std::uint32_t difatCount = readU32(at(kDifatSectorCountAt));
        for (std::uint32_t visited = 0; fatSectors_.size() < fatCount; ++visited) {
            if (difat > kMaxRegularSector || visited > difatCount || !fillSector(difat)) {
                return false;
            }
            const std::size_t offset = sectorOffset(difat);
            for (std::size_t i = 0; i < perDifat && fatSectors_.size() < fatCount; ++i) {
                fatSectors_.push_back(readU32(at(offset + 4 * i)));
            }
            difat = readU32(at(offset + 4 * perDifat));
        }
        return std::all_of(fatSectors_.begin(), fatSectors_.end(),
                           [&](std::uint32_t sector) { return fillSector(sector); });
    }

    std::optional<std::uint32_t> fatEntry(std::uint32_t sector) const {
        const std::size_t perSector = sectorSize_ / 4;
        const std::size_t fatSector = sector / perSector;
        if (fatSector >= fatSectors_.size()) {
            return std::nullopt;
        }
        return readU32(at(sectorOffset(fatSectors_[fatSector]) + 4 * (sector % perSector)));
    }

    // Reads every sector of a chain; the end of chain (or free) ends it.
    bool followChain(std::uint32_t sector) {
        for (std::uint64_t steps = 0; sector <= kMaxRegularSector; ++steps) {
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
        const std::uint32_t firstDirectory = readU32(at(kFirstDirectoryAt));
        if (firstDirectory >= sectorCount_) {
            return false;
        }
        const std::size_t root = sectorOffset(firstDirectory);
        return readU32(at(root + kEntrySizeAt)) == 0 ||
               followChain(readU32(at(root + kEntryStartAt)));
    }

    PartialImage& image_;
    unsigned shift_ = 9;
    std::size_t sectorSize_ = 512;
    std::uint64_t sectorCount_ = 0;
    std::vector<std::uint32_t> fatSectors_;
};

// How much of the workbook stream holds the globals and the first rows of
// every sheet: its sheets' positions, read from the BOUNDSHEET records at
// its start, and some way beyond the last. Nothing when they are not found
// there.
std::optional<std::size_t> firstRowsReach(Bytes streamStart, std::size_t streamSize) {
    RecordCursor cursor(streamStart, 0);
    Record item;
    std::optional<std::size_t> lastSheet;
    while (cursor.next(item) && item.id != record::kSst && item.id != record::kEof) {
        if (item.id == record::kBoundSheet && item.data.size() >= 4) {
            lastSheet = std::max<std::size_t>(lastSheet.value_or(0), readU32(item.data.data()));
        }
    }
    if (!lastSheet) {
        return std::nullopt;
    }
    return std::min(streamSize, *lastSheet + kFirstRowsReach);
}

// The first rows read from the parts of the file they need; nothing when
// that reading does not settle it (a damaged file, an unusual layout), for
// the whole file to be read instead.
std::optional<FirstRows> readFirstRowsInPart(std::string_view path, std::uint32_t rows) {
    std::optional<PartialImage> image = PartialImage::open(pathFromUtf8(path));
    if (!image || !CompoundPrefetch(*image).run()) {
        return std::nullopt;
    }
    const auto compound = CompoundFile::parse(image->bytes());
    const std::optional<Bytes> stream =
        compound ? compound->streamInPlace("Workbook") : std::nullopt;
    if (!stream) {
        return std::nullopt;
    }
    const auto streamOffset = static_cast<std::size_t>(stream->data() - image->bytes().data());
    const std::size_t guess = std::min(stream->size(), kGlobalsGuess);
    if (!image->fill(streamOffset, guess)) {
        return std::nullopt;
    }
    const std::optional<std::size_t> reach = firstRowsReach(stream->first(guess), stream->size());
    if (!reach || !image->fill(streamOffset, *reach)) {
        return std::nullopt;
    }
    auto first = parseFirstRows(stream->first(*reach), rows);
    if (!first || first->book.sheets.empty()) {
        return std::nullopt;
    }
    return std::move(*first);
}

} // namespace

Result<FirstRows> readFirstRows(std::string_view path, std::uint32_t rows) {
    if (std::optional<FirstRows> inPart = readFirstRowsInPart(path, rows)) {
        return std::move(*inPart);
    }
    const auto bytes = readFileBytes(pathFromUtf8(path), kMaxWorkbookFileSize);
    if (!bytes) {
        return fail(bytes.error());
    }
    const Bytes file = asBytes(*bytes);
    // A large workbook stream usually stands in one piece: read where it
    // stands, it is not copied for the few records the rows need.
    if (const auto compound = CompoundFile::parse(file); compound) {
        if (const std::optional<Bytes> stream = compound->streamInPlace("Workbook")) {
            return parseFirstRows(*stream, rows);
        }
    }
    auto stream = extractWorkbookStream(file);
    if (!stream) {
        return fail(stream.error());
    }
    return parseFirstRows(asBytes(*stream), rows);
}

} // namespace chengxi::xls
