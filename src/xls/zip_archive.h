#pragma once

#include "xls/byte_io.h"
#include "xls/result.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct zip;

// Reading the parts of a zip package (an .xlsx) as they inflate, within
// limits that keep a hostile archive from exhausting memory or time.
namespace chengxi::xls {

// How much a package may inflate to. The inflated bytes are counted as
// they come out, never taken from the archive's own claims.
struct InflateLimits {
    std::uint64_t partBytes = std::uint64_t{200} << 20;
    std::uint64_t totalBytes = std::uint64_t{1} << 30;
    // Past the first MiB of a part, no more than this many bytes out for
    // each byte in. Worksheets pack 5 to 50 times; deflate can reach 1032.
    std::uint64_t ratio = 250;
};

// Receives a part's bytes piece by piece; false stops the reading early.
using ChunkSink = std::function<bool(std::string_view chunk)>;

class ZipArchive {
public:
    // Opens the archive at the UTF-8 path; fails with a reason when it is
    // not a readable, consistent zip archive.
    static Result<ZipArchive> openFile(std::string_view path, InflateLimits limits = {});
    // Opens an archive held in memory; `bytes` must outlive the object.
    static Result<ZipArchive> openBytes(Bytes bytes, InflateLimits limits = {});

    // Part names are zip entry names ("xl/workbook.xml"), compared without
    // regard to ASCII case as the package format asks.
    bool contains(std::string_view part) const;

    // Inflates the part into `sink`. Reading to the end checks the part's
    // CRC and length; a sink that stops early ends the reading at once.
    Status readPart(std::string_view part, const ChunkSink& sink);

private:
    struct Closer {
        void operator()(zip* archive) const;
    };

    ZipArchive(zip* archive, InflateLimits limits);
    std::int64_t locate(std::string_view part) const;

    std::unique_ptr<zip, Closer> archive_;
    InflateLimits limits_;
    std::uint64_t inflated_ = 0; // by all parts read so far
    std::vector<char> buffer_;
};

} // namespace chengxi::xls
