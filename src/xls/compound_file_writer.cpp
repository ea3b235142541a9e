#include "xls/compound_file.h"
#include "xls/compound_file_format.h"
#include "xls/utf16.h"

#include <algorithm>

namespace chengxi::xls {
namespace {

// Version 3: 512-byte sectors.
constexpr std::size_t kSectorSize = std::size_t{1} << cfb::kSectorShift3;
constexpr std::size_t kMiniSectorSize = std::size_t{1} << cfb::kMiniSectorShift;
constexpr std::size_t kEntriesPerFatSector = kSectorSize / cfb::kSectorNumberSize;
// A DIFAT sector's last entry links the next DIFAT sector.
constexpr std::size_t kEntriesPerDifatSector = kEntriesPerFatSector - 1;
constexpr std::size_t kEntriesPerDirectorySector = kSectorSize / cfb::kDirectoryEntrySize;
constexpr std::u16string_view kRootName = u"Root Entry";

std::size_t sectorsFor(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit;
}

bool isLarge(const StreamData& stream) {
    return stream.size >= cfb::kMiniStreamCutoff;
}

bool isSmall(const StreamData& stream) {
    return stream.size != 0 && !isLarge(stream);
}

// Directory entries compare by name length first, then by the upper-cased
// name, as the format's red-black tree expects.
bool entryNameLess(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size();
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i];
        char16_t y = b[i];
        if (x >= u'a' && x <= u'z') {
            x = static_cast<char16_t>(x - u'a' + u'A');
        }
        if (y >= u'a' && y <= u'z') {
            y = static_cast<char16_t>(y - u'a' + u'A');
        }
        if (x != y) {
            return x < y;
        }
    }
    return false;
}

struct DirectoryEntry {
    std::u16string name;
    std::uint8_t type = cfb::kTypeEmpty;
    std::uint32_t left = cfb::kNoStream, right = cfb::kNoStream, child = cfb::kNoStream;
    std::uint32_t start = cfb::kEndOfChain;
    std::uint32_t size = 0;
};

// Links sorted siblings [first, last) into a balanced binary tree and
// returns its root. A perfectly balanced tree may be coloured all black.
std::uint32_t linkBalanced(std::vector<DirectoryEntry>& entries,
                           const std::vector<std::uint32_t>& sorted, std::size_t first,
                           std::size_t last) {
    if (first >= last) {
        return cfb::kNoStream;
    }
    const std::size_t middle = first + (last - first) / 2;
    DirectoryEntry& node = entries[sorted[middle]];
    node.left = linkBalanced(entries, sorted, first, middle);
    node.right = linkBalanced(entries, sorted, middle + 1, last);
    return sorted[middle];
}

// The root, then the streams in the order given, the streams linked into
// the root's tree. Where each stream starts is settled later.
std::vector<DirectoryEntry> directoryEntries(const std::vector<StreamData>& streams) {
    std::vector<DirectoryEntry> entries(1 + streams.size());
    entries[0].name = kRootName;
    entries[0].type = cfb::kTypeRoot;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        DirectoryEntry& entry = entries[i + 1];
        auto name = toUtf16(streams[i].name);
        entry.name = name ? std::move(*name) : u"?";
        entry.name.resize(std::min(entry.name.size(), cfb::kMaxNameUnits));
        entry.type = cfb::kTypeStream;
        entry.size = static_cast<std::uint32_t>(streams[i].size);
    }
    std::vector<std::uint32_t> sorted;
    for (std::uint32_t i = 1; i < entries.size(); ++i) {
        sorted.push_back(i);
    }
    std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
        return entryNameLess(entries[a].name, entries[b].name);
    });
    entries[0].child = linkBalanced(entries, sorted, 0, sorted.size());
    return entries;
}

struct MiniStream {
    std::string data;
    std::vector<std::uint32_t> fat;
};

// Small streams share the mini stream, each in a chain of mini sectors.
MiniStream buildMiniStream(const std::vector<StreamData>& streams,
                           std::vector<DirectoryEntry>& entries) {
    MiniStream mini;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::string_view data = streams[i].data;
        if (!isSmall(streams[i])) {
            continue;
        }
        const std::size_t first = mini.fat.size();
        const std::size_t count = sectorsFor(data.size(), kMiniSectorSize);
        for (std::size_t k = 0; k < count; ++k) {
            mini.fat.push_back(k + 1 < count ? static_cast<std::uint32_t>(first + k + 1)
                                             : cfb::kEndOfChain);
        }
        entries[i + 1].start = static_cast<std::uint32_t>(first);
        mini.data.append(data);
        mini.data.append(count * kMiniSectorSize - data.size(), '\0');
    }
    return mini;
}

struct FatSize {
    std::size_t fatSectors = 1;
    std::size_t difatSectors = 0;
};

// The FAT must describe the data sectors and also its own and the DIFAT's.
FatSize fatSizeFor(std::size_t dataSectors) {
    FatSize size;
    while (true) {
        size.difatSectors =
            size.fatSectors > cfb::kHeaderDifatEntries
                ? sectorsFor(size.fatSectors - cfb::kHeaderDifatEntries, kEntriesPerDifatSector)
                : 0;
        if (size.fatSectors * kEntriesPerFatSector >=
            dataSectors + size.fatSectors + size.difatSectors) {
            return size;
        }
        ++size.fatSectors;
    }
}

// Hands out runs of consecutive sectors from the first one on, recording
// each in the FAT.
class SectorAllocator {
public:
    explicit SectorAllocator(std::size_t fatSectors)
        : fat_(fatSectors * kEntriesPerFatSector, cfb::kFreeSector) {}

    // Sectors the FAT marks with `mark` instead of chaining them.
    std::uint32_t reserve(std::size_t count, std::uint32_t mark) {
        const std::uint32_t first = next_;
        for (std::size_t k = 0; k < count; ++k) {
            fat_[next_++] = mark;
        }
        return count == 0 ? cfb::kEndOfChain : first;
    }
    std::uint32_t chain(std::size_t count) {
        const std::uint32_t first = next_;
        for (std::size_t k = 0; k < count; ++k) {
            fat_[next_] = k + 1 < count ? next_ + 1 : cfb::kEndOfChain;
            ++next_;
        }
        return count == 0 ? cfb::kEndOfChain : first;
    }
    std::size_t sectorsUsed() const { return next_; }
    std::vector<std::uint32_t> takeFat() { return std::move(fat_); }

private:
    std::vector<std::uint32_t> fat_;
    std::uint32_t next_ = 0;
};

// Where each part of the file goes, in this order: FAT, DIFAT, directory,
// mini FAT, mini stream, large streams.
struct Layout {
    FatSize size;
    std::size_t directorySectors = 0;
    std::size_t miniFatSectors = 0;
    std::size_t sectorCount = 0; // after the header
    std::uint32_t firstDifat = cfb::kEndOfChain;
    std::uint32_t firstDirectory = cfb::kEndOfChain;
    std::uint32_t firstMiniFat = cfb::kEndOfChain;
    std::vector<std::uint32_t> fat;
};

// Lays the parts out and tells each directory entry where its data starts.
Layout layOut(const std::vector<StreamData>& streams, const MiniStream& mini,
              std::vector<DirectoryEntry>& entries) {
    Layout layout;
    layout.directorySectors = sectorsFor(entries.size(), kEntriesPerDirectorySector);
    layout.miniFatSectors = sectorsFor(mini.fat.size(), kEntriesPerFatSector);
    const std::size_t miniStreamSectors = sectorsFor(mini.data.size(), kSectorSize);
    std::size_t dataSectors = layout.directorySectors + layout.miniFatSectors + miniStreamSectors;
    for (const StreamData& stream : streams) {
        if (isLarge(stream)) {
            dataSectors += sectorsFor(stream.size, kSectorSize);
        }
    }
    layout.size = fatSizeFor(dataSectors);

    SectorAllocator sectors(layout.size.fatSectors);
    sectors.reserve(layout.size.fatSectors, cfb::kFatSector);
    layout.firstDifat = sectors.reserve(layout.size.difatSectors, cfb::kDifatSector);
    layout.firstDirectory = sectors.chain(layout.directorySectors);
    layout.firstMiniFat = sectors.chain(layout.miniFatSectors);
    entries[0].start = sectors.chain(miniStreamSectors);
    entries[0].size = static_cast<std::uint32_t>(mini.data.size());
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (isLarge(streams[i])) {
            entries[i + 1].start = sectors.chain(sectorsFor(streams[i].size, kSectorSize));
        }
    }
    layout.sectorCount = sectors.sectorsUsed();
    layout.fat = sectors.takeFat();
    return layout;
}

// The FAT sectors come first, so FAT sector k is sector k.
std::uint32_t fatSectorNumber(std::size_t k, const Layout& layout) {
    return k < layout.size.fatSectors ? static_cast<std::uint32_t>(k) : cfb::kFreeSector;
}

void writeHeader(std::string& out, const Layout& layout) {
    namespace field = cfb::header;
    out.append(cfb::kHeaderSize, '\0');
    std::copy(cfb::kSignature.begin(), cfb::kSignature.end(), out.begin());
    patchU16(out, field::kMinorVersion, cfb::kMinorVersion);
    patchU16(out, field::kMajorVersion, cfb::kMajorVersion3);
    patchU16(out, field::kByteOrder, cfb::kByteOrderMark);
    patchU16(out, field::kSectorShift, cfb::kSectorShift3);
    patchU16(out, field::kMiniSectorShift, cfb::kMiniSectorShift);
    patchU32(out, field::kDirectorySectorCount, 0); // always 0 in version 3
    patchU32(out, field::kFatSectorCount, static_cast<std::uint32_t>(layout.size.fatSectors));
    patchU32(out, field::kFirstDirectorySector, layout.firstDirectory);
    patchU32(out, field::kMiniStreamCutoff, cfb::kMiniStreamCutoff);
    patchU32(out, field::kFirstMiniFatSector, layout.firstMiniFat);
    patchU32(out, field::kMiniFatSectorCount, static_cast<std::uint32_t>(layout.miniFatSectors));
    patchU32(out, field::kFirstDifatSector, layout.firstDifat);
    patchU32(out, field::kDifatSectorCount, static_cast<std::uint32_t>(layout.size.difatSectors));
    for (std::size_t k = 0; k < cfb::kHeaderDifatEntries; ++k) {
        patchU32(out, field::kDifat + cfb::kSectorNumberSize * k, fatSectorNumber(k, layout));
    }
}

void writeSectorNumbers(std::string& out, const std::vector<std::uint32_t>& numbers) {
    ByteWriter w(out);
    for (const std::uint32_t number : numbers) {
        w.u32(number);
    }
}

// The FAT sectors beyond the header's list, each DIFAT sector ending with
// the number of the next.
void writeDifat(std::string& out, const Layout& layout) {
    ByteWriter w(out);
    const std::size_t count = layout.size.difatSectors;
    for (std::size_t d = 0; d < count; ++d) {
        for (std::size_t k = 0; k < kEntriesPerDifatSector; ++k) {
            w.u32(
                fatSectorNumber(cfb::kHeaderDifatEntries + d * kEntriesPerDifatSector + k, layout));
        }
        w.u32(d + 1 < count ? static_cast<std::uint32_t>(layout.firstDifat + d + 1)
                            : cfb::kEndOfChain);
    }
}

void writeEntry(std::string& out, const DirectoryEntry& entry) {
    namespace field = cfb::entry;
    const std::size_t at = out.size();
    out.append(cfb::kDirectoryEntrySize, '\0');
    for (std::size_t k = 0; k < entry.name.size(); ++k) {
        patchU16(out, at + field::kName + 2 * k, entry.name[k]);
    }
    const bool used = entry.type != cfb::kTypeEmpty;
    // In bytes, counting the terminating zero.
    const std::size_t nameLength = used ? 2 * (entry.name.size() + 1) : 0;
    patchU16(out, at + field::kNameLength, static_cast<std::uint16_t>(nameLength));
    out[at + field::kType] = static_cast<char>(entry.type);
    out[at + field::kColour] = static_cast<char>(cfb::kColourBlack);
    patchU32(out, at + field::kLeftSibling, entry.left);
    patchU32(out, at + field::kRightSibling, entry.right);
    patchU32(out, at + field::kChild, entry.child);
    // Class id, state bits and both time stamps stay zero: the output
    // depends only on the streams.
    patchU32(out, at + field::kStartSector, used ? entry.start : 0);
    patchU32(out, at + field::kSize, entry.size); // the high half stays zero in version 3
}

// The entries, then empty ones to the end of the last sector.
void writeDirectory(std::string& out, const std::vector<DirectoryEntry>& entries,
                    std::size_t sectors) {
    for (std::size_t k = 0; k < sectors * kEntriesPerDirectorySector; ++k) {
        writeEntry(out, k < entries.size() ? entries[k] : DirectoryEntry{});
    }
}

void writeMiniFat(std::string& out, const std::vector<std::uint32_t>& miniFat,
                  std::size_t sectors) {
    writeSectorNumbers(out, miniFat);
    ByteWriter w(out);
    for (std::size_t k = miniFat.size(); k < sectors * kEntriesPerFatSector; ++k) {
        w.u32(cfb::kFreeSector);
    }
}

} // namespace

std::string buildCompoundFileHead(const std::vector<StreamData>& streams) {
    std::vector<DirectoryEntry> entries = directoryEntries(streams);
    const MiniStream mini = buildMiniStream(streams, entries);
    const Layout layout = layOut(streams, mini, entries);

    // Room for the head alone: the large streams follow it, often straight
    // into the file.
    std::size_t largeSectors = 0;
    for (const StreamData& stream : streams) {
        largeSectors += isLarge(stream) ? sectorsFor(stream.size, kSectorSize) : 0;
    }
    std::string out;
    out.reserve((1 + layout.sectorCount - largeSectors) * kSectorSize);
    writeHeader(out, layout);
    writeSectorNumbers(out, layout.fat);
    writeDifat(out, layout);
    writeDirectory(out, entries, layout.directorySectors);
    writeMiniFat(out, mini.fat, layout.miniFatSectors);
    out.append(mini.data);
    out.append(compoundSectorPadding(out.size()), '\0');
    return out;
}

std::size_t compoundSectorPadding(std::size_t streamSize) {
    return (kSectorSize - streamSize % kSectorSize) % kSectorSize;
}

std::string buildCompoundFile(const std::vector<StreamData>& streams) {
    std::string out = buildCompoundFileHead(streams);
    std::size_t size = out.size();
    for (const StreamData& stream : streams) {
        size += isLarge(stream) ? stream.size + compoundSectorPadding(stream.size) : 0;
    }
    out.reserve(size);
    for (const StreamData& stream : streams) {
        if (isLarge(stream)) {
            out.append(stream.data);
            out.append(compoundSectorPadding(stream.data.size()), '\0');
        }
    }
    return out;
}

} // namespace chengxi::xls
