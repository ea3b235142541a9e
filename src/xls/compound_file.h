#pragma once

#include "xls/biff_stream.h"
#include "xls/byte_io.h"
#include "xls/result.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The OLE2 compound file ("structured storage") that holds an Excel 97-2003
// workbook: a small file system of sectors, chained through a FAT, with a
// mini stream for small streams.
namespace chengxi::xls {

class CompoundFile {
public:
    // Parses the header, the FAT (with its DIFAT extension), the mini FAT and
    // the directory. `file` must outlive the object. Every sector number,
    // chain and size is checked against the file; a damaged file fails with a
    // reason and never makes the reader loop or allocate beyond the file.
    static Result<CompoundFile> parse(Bytes file);

    // Names of the streams directly under the root storage, as UTF-8.
    std::vector<std::string> streamNames() const;

    // Contents of a stream directly under the root storage; names compare
    // without regard to letter case, as the format asks.
    Result<std::string> readStream(std::string_view name) const;
    bool hasStream(std::string_view name) const;
    // A regular stream whose sectors follow one another in the file, as
    // writers usually lay a large one out: its bytes where they stand,
    // without a copy. Nothing when it is scattered, small or damaged.
    std::optional<Bytes> streamInPlace(std::string_view name) const;

    // Where a stream outside the mini stream stands in the file, sector by
    // sector, checked as readStream() checks it (so it fails with the same
    // reasons); nothing when the stream lives in the mini stream.
    struct StreamSectors {
        std::vector<std::uint32_t> sectors;
        std::uint64_t size = 0;
        unsigned sectorShift = 9;
    };
    Result<std::optional<StreamSectors>> regularStreamSectors(std::string_view name) const;

private:
    struct Entry {
        std::string name; // UTF-8
        std::uint8_t type = 0;
        std::uint32_t left = 0, right = 0, child = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };

    // The fields parse() takes from the file's header.
    struct Header;

    CompoundFile() = default;
    // The parse in its phases: the header, the FAT found through the DIFAT,
    // the directory, the streams under the root, the mini FAT and mini stream.
    static Result<Header> readHeader(Bytes file);
    Result<std::vector<std::uint32_t>> fatSectorNumbers(const Header& header) const;
    Status readFat(const Header& header);
    Status readDirectory(const Header& header);
    static Entry readEntry(const std::uint8_t* raw, std::uint16_t majorVersion);
    Status findRootStreams();
    Status readMiniFatAndStream(const Header& header);
    // A sector's size, where it starts in the file, and its bytes; nothing
    // when the file ends inside it.
    std::size_t sectorSize() const { return std::size_t{1} << sectorShift_; }
    std::size_t sectorOffset(std::uint32_t sector) const;
    std::optional<Bytes> wholeSector(std::uint32_t sector) const;
    // Follows a chain through `table`; every sector must be below `limit`
    // (the sectors the file or the mini stream holds).
    static Result<std::vector<std::uint32_t>> chain(std::uint32_t start,
                                                    const std::vector<std::uint32_t>& table,
                                                    std::uint64_t limit,
                                                    std::uint64_t minimumLength);
    Result<std::vector<std::uint32_t>> regularSectors(std::uint32_t start,
                                                      std::uint64_t size) const;
    Result<std::string> readRegular(std::uint32_t start, std::uint64_t size) const;
    Result<std::string> readMini(std::uint32_t start, std::uint64_t size) const;
    const Entry* findRootStream(std::string_view name) const;

    Bytes file_;
    unsigned sectorShift_ = 9;
    std::uint64_t sectorCount_ = 0;
    std::uint32_t miniCutoff_ = 4096;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> rootStreams_; // indexes into entries_
    std::string miniStream_;
};

// A regular stream read from the file through its sectors a window at a
// time, so the file's image is never in memory whole. Contiguous sectors
// are read with one call.
class SectorFeed final : public StreamFeed {
public:
    SectorFeed(std::ifstream file, CompoundFile::StreamSectors layout)
        : file_(std::move(file)), layout_(std::move(layout)) {}
    std::size_t size() const override { return static_cast<std::size_t>(layout_.size); }
    Bytes window(std::size_t from, std::size_t to) override;

private:
    bool readInto(std::uint8_t* out, std::size_t from, std::size_t count);

    std::ifstream file_;
    CompoundFile::StreamSectors layout_;
    std::vector<std::uint8_t> buffer_;
    std::size_t bufferStart_ = 0;
};

// One stream to be written into a compound file. The head of the file
// needs only the size of a large stream, whose data may then be left empty
// and written after the head.
struct StreamData {
    std::string name; // UTF-8, at most 31 characters
    std::string_view data;
    std::size_t size = data.size();
};

// Builds a version-3 compound file (512-byte sectors) holding the streams
// under the root storage. Streams under 4096 bytes go to the mini stream.
// The output depends only on the input: no time stamps, no random ids.
std::string buildCompoundFile(const std::vector<StreamData>& streams);
// The same file up to the data of its streams of 4096 bytes or more, which
// follow in the order given, each padded with compoundSectorPadding() zeros
// to whole sectors: a writer can then put a large stream straight into the
// file instead of copying it into the whole file's image first.
std::string buildCompoundFileHead(const std::vector<StreamData>& streams);
std::size_t compoundSectorPadding(std::size_t streamSize);

} // namespace chengxi::xls
