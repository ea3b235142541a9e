#include "xls/compound_file.h"
#include "xls/utf16.h"

#include <algorithm>

namespace chengxi::xls {
namespace {

constexpr std::size_t kSectorSize = 512;
constexpr std::size_t kMiniSectorSize = 64;
constexpr std::size_t kMiniCutoff = 4096;
constexpr std::size_t kEntriesPerFatSector = kSectorSize / 4;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kEntriesPerDifatSector = kEntriesPerFatSector - 1;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

std::size_t sectorsFor(std::size_t bytes, std::size_t unit) {
    return (bytes + unit - 1) / unit;
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
    std::uint8_t type = 0;
    std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
    std::uint32_t start = kEndOfChain;
    std::uint32_t size = 0;
};

// Links sorted siblings [first, last) into a balanced binary tree and
// returns its root. A perfectly balanced tree may be coloured all black.
std::uint32_t linkBalanced(std::vector<DirectoryEntry>& entries,
                           const std::vector<std::uint32_t>& sorted, std::size_t first,
                           std::size_t last) {
    if (first >= last) {
        return kNoStream;
    }
    const std::size_t middle = first + (last - first) / 2;
    DirectoryEntry& node = entries[sorted[middle]];
    node.left = linkBalanced(entries, sorted, first, middle);
    node.right = linkBalanced(entries, sorted, middle + 1, last);
    return sorted[middle];
}

void writeEntry(ByteWriter& out, const DirectoryEntry& entry) {
    for (const char16_t unit : entry.name) {
        out.u16(unit);
    }
    out.zeros(64 - 2 * entry.name.size());
    out.u16(entry.type == 0 ? 0 : static_cast<std::uint16_t>(2 * (entry.name.size() + 1)));
    out.u8(entry.type);
    out.u8(1); // black
    out.u32(entry.left);
    out.u32(entry.right);
    out.u32(entry.child);
    out.zeros(16 + 4 + 8 + 8); // class id, state bits, creation and modification times
    out.u32(entry.type == 0 ? 0 : entry.start);
    out.u64(entry.size);
}

} // namespace

std::string buildCompoundFileHead(const std::vector<StreamData>& streams) {
    // Directory: the root, then the streams in the order given.
    std::vector<DirectoryEntry> entries(1 + streams.size());
    entries[0].name = u"Root Entry";
    entries[0].type = 5;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        DirectoryEntry& entry = entries[i + 1];
        auto name = toUtf16(streams[i].name);
        entry.name = name ? std::move(*name) : u"?";
        entry.name.resize(std::min<std::size_t>(entry.name.size(), 31));
        entry.type = 2;
        entry.size = static_cast<std::uint32_t>(streams[i].data.size());
    }
    std::vector<std::uint32_t> sorted;
    for (std::uint32_t i = 1; i < entries.size(); ++i) {
        sorted.push_back(i);
    }
    std::sort(sorted.begin(), sorted.end(), [&](std::uint32_t a, std::uint32_t b) {
        return entryNameLess(entries[a].name, entries[b].name);
    });
    entries[0].child = linkBalanced(entries, sorted, 0, sorted.size());

    // Small streams share the mini stream, 64-byte mini sectors each.
    std::string miniStream;
    std::vector<std::uint32_t> miniFat;
    for (std::size_t i = 0; i < streams.size(); ++i) {
        const std::string_view data = streams[i].data;
        if (data.empty() || data.size() >= kMiniCutoff) {
            continue;
        }
        const std::size_t first = miniFat.size();
        const std::size_t count = sectorsFor(data.size(), kMiniSectorSize);
        for (std::size_t k = 0; k < count; ++k) {
            miniFat.push_back(k + 1 < count ? static_cast<std::uint32_t>(first + k + 1)
                                            : kEndOfChain);
        }
        entries[i + 1].start = static_cast<std::uint32_t>(first);
        miniStream.append(data);
        miniStream.append(count * kMiniSectorSize - data.size(), '\0');
    }

    const std::size_t directorySectors = sectorsFor(entries.size() * 128, kSectorSize);
    const std::size_t miniFatSectors = sectorsFor(miniFat.size() * 4, kSectorSize);
    const std::size_t miniStreamSectors = sectorsFor(miniStream.size(), kSectorSize);
    std::size_t dataSectors = directorySectors + miniFatSectors + miniStreamSectors;
    for (const StreamData& stream : streams) {
        if (stream.data.size() >= kMiniCutoff) {
            dataSectors += sectorsFor(stream.data.size(), kSectorSize);
        }
    }
    // The FAT must also describe its own sectors and the DIFAT's.
    std::size_t fatSectors = 1;
    std::size_t difatSectors = 0;
    while (true) {
        difatSectors = fatSectors > kHeaderDifatEntries
                           ? sectorsFor(fatSectors - kHeaderDifatEntries, kEntriesPerDifatSector)
                           : 0;
        if (fatSectors * kEntriesPerFatSector >= dataSectors + fatSectors + difatSectors) {
            break;
        }
        ++fatSectors;
    }

    // Layout: FAT, DIFAT, directory, mini FAT, mini stream, large streams.
    std::vector<std::uint32_t> fat(fatSectors * kEntriesPerFatSector, kFreeSector);
    std::uint32_t next = 0;
    const auto allocateChain = [&](std::size_t count) {
        const std::uint32_t first = next;
        for (std::size_t k = 0; k < count; ++k) {
            fat[next] = k + 1 < count ? next + 1 : kEndOfChain;
            ++next;
        }
        return count == 0 ? kEndOfChain : first;
    };
    for (std::size_t k = 0; k < fatSectors; ++k) {
        fat[next++] = kFatSector;
    }
    const std::uint32_t firstDifat = difatSectors == 0 ? kEndOfChain : next;
    for (std::size_t k = 0; k < difatSectors; ++k) {
        fat[next++] = kDifatSector;
    }
    const std::uint32_t firstDirectory = allocateChain(directorySectors);
    const std::uint32_t firstMiniFat = allocateChain(miniFatSectors);
    entries[0].start = allocateChain(miniStreamSectors);
    entries[0].size = static_cast<std::uint32_t>(miniStream.size());
    for (std::size_t i = 0; i < streams.size(); ++i) {
        if (streams[i].data.size() >= kMiniCutoff) {
            entries[i + 1].start = allocateChain(sectorsFor(streams[i].data.size(), kSectorSize));
        }
    }

    std::string out;
    out.reserve((1 + next) * kSectorSize);
    ByteWriter w(out);

    // Header.
    w.bytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    w.zeros(16);
    w.u16(0x003E);
    w.u16(3);
    w.u16(0xFFFE);
    w.u16(9);
    w.u16(6);
    w.zeros(6);
    w.u32(0); // directory sectors: always 0 in version 3
    w.u32(static_cast<std::uint32_t>(fatSectors));
    w.u32(firstDirectory);
    w.u32(0);
    w.u32(static_cast<std::uint32_t>(kMiniCutoff));
    w.u32(miniFat.empty() ? kEndOfChain : firstMiniFat);
    w.u32(static_cast<std::uint32_t>(miniFatSectors));
    w.u32(firstDifat);
    w.u32(static_cast<std::uint32_t>(difatSectors));
    for (std::size_t k = 0; k < kHeaderDifatEntries; ++k) {
        w.u32(k < fatSectors ? static_cast<std::uint32_t>(k) : kFreeSector);
    }

    const auto padSector = [&] { w.zeros((kSectorSize - out.size() % kSectorSize) % kSectorSize); };

    for (const std::uint32_t entry : fat) {
        w.u32(entry);
    }
    for (std::size_t d = 0; d < difatSectors; ++d) {
        for (std::size_t k = 0; k < kEntriesPerDifatSector; ++k) {
            const std::size_t index = kHeaderDifatEntries + d * kEntriesPerDifatSector + k;
            w.u32(index < fatSectors ? static_cast<std::uint32_t>(index) : kFreeSector);
        }
        w.u32(d + 1 < difatSectors ? static_cast<std::uint32_t>(firstDifat + d + 1) : kEndOfChain);
    }
    for (std::size_t k = 0; k < directorySectors * kSectorSize / 128; ++k) {
        writeEntry(w, k < entries.size() ? entries[k] : DirectoryEntry{});
    }
    for (const std::uint32_t entry : miniFat) {
        w.u32(entry);
    }
    for (std::size_t k = miniFat.size(); k < miniFatSectors * kEntriesPerFatSector; ++k) {
        w.u32(kFreeSector);
    }
    w.bytes(miniStream);
    padSector();
    return out;
}

std::size_t compoundSectorPadding(std::size_t streamSize) {
    return (kSectorSize - streamSize % kSectorSize) % kSectorSize;
}

std::string buildCompoundFile(const std::vector<StreamData>& streams) {
    std::string out = buildCompoundFileHead(streams);
    for (const StreamData& stream : streams) {
        if (stream.data.size() >= kMiniCutoff) {
            out.append(stream.data);
            out.append(compoundSectorPadding(stream.data.size()), '\0');
        }
    }
    return out;
}

} // namespace chengxi::xls
