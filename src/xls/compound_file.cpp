#include "xls/compound_file.h"

#include "xls/utf16.h"

#include <algorithm>
#include <array>

namespace chengxi::xls {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::size_t kHeaderDifatEntries = 109;
constexpr std::size_t kEntrySize = 128;
constexpr unsigned kMiniSectorShift = 6;

constexpr std::uint8_t kTypeStorage = 1;
constexpr std::uint8_t kTypeStream = 2;
constexpr std::uint8_t kTypeRoot = 5;

std::string entryName(const std::uint8_t* entry) {
    const std::uint16_t byteLength = readU16(entry + 64);
    // The length counts the terminating zero; a damaged length is clipped
    // to the 32 characters the field holds.
    std::size_t units = byteLength >= 2 ? (byteLength / 2) - 1 : 0;
    units = std::min<std::size_t>(units, 31);
    std::string name;
    Utf16Decoder decoder(name);
    decoder.addUnits(entry, units);
    decoder.finish();
    return name;
}

} // namespace

Result<CompoundFile> CompoundFile::parse(Bytes file) {
    if (file.size() < 512) {
        return fail(file.empty() ? "文件是空的" : "文件太短，不是 Excel 工作簿");
    }
    if (!std::equal(kSignature.begin(), kSignature.end(), file.begin())) {
        return fail("文件不是 Excel 97-2003 工作簿");
    }
    const std::uint8_t* header = file.data();
    const std::uint16_t major = readU16(header + 26);
    const std::uint16_t sectorShift = readU16(header + 30);
    const std::uint16_t miniShift = readU16(header + 32);
    if (sectorShift != 9 && sectorShift != 12) {
        return fail("工作簿已损坏：未知的扇区大小");
    }
    if (miniShift != kMiniSectorShift) {
        return fail("工作簿已损坏：未知的小扇区大小");
    }

    CompoundFile cf;
    cf.file_ = file;
    cf.sectorShift_ = sectorShift;
    const std::size_t sectorSize = std::size_t{1} << sectorShift;
    if (file.size() <= sectorSize) {
        return fail("文件太短，不是 Excel 工作簿");
    }
    cf.sectorCount_ = (file.size() - sectorSize + sectorSize - 1) / sectorSize;
    cf.miniCutoff_ = readU32(header + 56);

    const std::uint32_t fatSectorCount = readU32(header + 44);
    const std::uint32_t firstDirectory = readU32(header + 48);
    const std::uint32_t firstMiniFat = readU32(header + 60);
    const std::uint32_t firstDifat = readU32(header + 68);
    const std::uint32_t difatSectorCount = readU32(header + 72);
    if (fatSectorCount > cf.sectorCount_) {
        return fail("工作簿已损坏：分配表大于文件");
    }

    // The FAT's own sector numbers: 109 in the header, the rest in a chain of
    // DIFAT sectors, each ending with the number of the next.
    std::vector<std::uint32_t> fatSectors;
    fatSectors.reserve(fatSectorCount);
    for (std::size_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatSectorCount; ++i) {
        fatSectors.push_back(readU32(header + 76 + 4 * i));
    }
    const std::size_t perDifat = sectorSize / 4 - 1;
    std::uint32_t difat = firstDifat;
    for (std::uint32_t visited = 0; fatSectors.size() < fatSectorCount; ++visited) {
        if (difat > kMaxRegularSector || difat >= cf.sectorCount_ ||
            visited >= difatSectorCount + 1 || visited > cf.sectorCount_) {
            return fail("工作簿已损坏：分配表索引有误");
        }
        const std::size_t offset = (std::size_t{difat} + 1) << sectorShift;
        if (offset + sectorSize > file.size()) {
            return fail("工作簿已损坏：文件不完整");
        }
        for (std::size_t i = 0; i < perDifat && fatSectors.size() < fatSectorCount; ++i) {
            fatSectors.push_back(readU32(file.data() + offset + 4 * i));
        }
        difat = readU32(file.data() + offset + 4 * perDifat);
    }

    const std::size_t perSector = sectorSize / 4;
    cf.fat_.reserve(fatSectors.size() * perSector);
    for (const std::uint32_t sector : fatSectors) {
        if (sector >= cf.sectorCount_) {
            return fail("工作簿已损坏：分配表指向文件之外");
        }
        const std::size_t offset = (std::size_t{sector} + 1) << sectorShift;
        if (offset + sectorSize > file.size()) {
            return fail("工作簿已损坏：文件不完整");
        }
        for (std::size_t i = 0; i < perSector; ++i) {
            cf.fat_.push_back(readU32(file.data() + offset + 4 * i));
        }
    }

    // Directory: 128-byte entries in a regular chain.
    auto directory = chain(firstDirectory, cf.fat_, cf.sectorCount_, 1);
    if (!directory) {
        return fail(directory.error());
    }
    const std::size_t entriesPerSector = sectorSize / kEntrySize;
    cf.entries_.reserve(directory->size() * entriesPerSector);
    for (const std::uint32_t sector : *directory) {
        const std::size_t offset = (std::size_t{sector} + 1) << sectorShift;
        if (offset + sectorSize > file.size()) {
            return fail("工作簿已损坏：文件不完整");
        }
        for (std::size_t i = 0; i < entriesPerSector; ++i) {
            const std::uint8_t* raw = file.data() + offset + i * kEntrySize;
            Entry entry;
            entry.type = raw[66];
            if (entry.type != 0) {
                entry.name = entryName(raw);
            }
            entry.left = readU32(raw + 68);
            entry.right = readU32(raw + 72);
            entry.child = readU32(raw + 76);
            entry.start = readU32(raw + 116);
            entry.size = major == 3 ? readU32(raw + 120) : readU64(raw + 120);
            cf.entries_.push_back(std::move(entry));
        }
    }
    if (cf.entries_.empty() || cf.entries_[0].type != kTypeRoot) {
        return fail("工作簿已损坏：没有根目录");
    }

    // Streams under the root: walk the root's sibling tree, refusing to visit
    // an entry twice so a looping tree cannot hang the reader.
    std::vector<bool> seen(cf.entries_.size(), false);
    std::vector<std::uint32_t> pending;
    if (cf.entries_[0].child != kNoStream) {
        pending.push_back(cf.entries_[0].child);
    }
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id >= cf.entries_.size() || seen[id] || id == 0) {
            return fail("工作簿已损坏：目录树有误");
        }
        seen[id] = true;
        const Entry& entry = cf.entries_[id];
        if (entry.type == kTypeStream) {
            cf.rootStreams_.push_back(id);
        } else if (entry.type != kTypeStorage) {
            return fail("工作簿已损坏：目录树有误");
        }
        if (entry.left != kNoStream) {
            pending.push_back(entry.left);
        }
        if (entry.right != kNoStream) {
            pending.push_back(entry.right);
        }
    }
    std::sort(cf.rootStreams_.begin(), cf.rootStreams_.end());

    // Mini FAT and mini stream, only when some stream lives there.
    if (firstMiniFat != kEndOfChain && firstMiniFat != kFreeSector) {
        auto miniFatChain = chain(firstMiniFat, cf.fat_, cf.sectorCount_, 1);
        if (!miniFatChain) {
            return fail(miniFatChain.error());
        }
        cf.miniFat_.reserve(miniFatChain->size() * perSector);
        for (const std::uint32_t sector : *miniFatChain) {
            const std::size_t offset = (std::size_t{sector} + 1) << sectorShift;
            if (offset + sectorSize > file.size()) {
                return fail("工作簿已损坏：文件不完整");
            }
            for (std::size_t i = 0; i < perSector; ++i) {
                cf.miniFat_.push_back(readU32(file.data() + offset + 4 * i));
            }
        }
        const Entry& root = cf.entries_[0];
        if (root.size > 0) {
            auto mini = cf.readRegular(root.start, root.size);
            if (!mini) {
                return fail(mini.error());
            }
            cf.miniStream_ = std::move(mini.value());
        }
    }
    return cf;
}

Result<std::vector<std::uint32_t>> CompoundFile::chain(std::uint32_t start,
                                                       const std::vector<std::uint32_t>& table,
                                                       std::uint64_t limit,
                                                       std::uint64_t minimumLength) {
    const std::uint64_t sectorsThere = std::min<std::uint64_t>(limit, table.size());
    std::vector<std::uint32_t> sectors;
    std::uint32_t sector = start;
    while (sector != kEndOfChain) {
        if (sector >= sectorsThere) {
            return fail("工作簿已损坏：扇区链指向范围之外");
        }
        // A chain longer than the sectors there are must visit one twice.
        if (sectors.size() >= sectorsThere) {
            return fail("工作簿已损坏：扇区链构成循环");
        }
        sectors.push_back(sector);
        sector = table[sector];
    }
    if (sectors.size() < minimumLength) {
        return fail("工作簿已损坏：扇区链比数据短");
    }
    return sectors;
}

Result<std::string> CompoundFile::readRegular(std::uint32_t start, std::uint64_t size) const {
    const std::size_t sectorSize = std::size_t{1} << sectorShift_;
    // Rounded up without adding first: a version-4 size near 2^64 must not
    // wrap round to a small count.
    const std::uint64_t needed = size / sectorSize + (size % sectorSize != 0 ? 1 : 0);
    if (needed > sectorCount_) {
        return fail("工作簿已损坏：数据流大于文件");
    }
    auto sectors = chain(start, fat_, sectorCount_, needed);
    if (!sectors) {
        return fail(sectors.error());
    }
    std::string data;
    data.resize(static_cast<std::size_t>(size));
    std::size_t written = 0;
    for (std::size_t i = 0; i < needed; ++i) {
        const std::uint32_t sector = (*sectors)[i];
        const std::size_t offset = (std::size_t{sector} + 1) << sectorShift_;
        const std::size_t count = std::min<std::size_t>(sectorSize, data.size() - written);
        if (offset > file_.size() || count > file_.size() - offset) {
            return fail("工作簿已损坏：文件不完整");
        }
        std::copy_n(file_.data() + offset, count,
                    reinterpret_cast<std::uint8_t*>(data.data()) + written);
        written += count;
    }
    return data;
}

Result<std::string> CompoundFile::readMini(std::uint32_t start, std::uint64_t size) const {
    const std::size_t miniSize = std::size_t{1} << kMiniSectorShift;
    const std::uint64_t needed = (size + miniSize - 1) / miniSize;
    if (size > miniStream_.size()) {
        return fail("工作簿已损坏：小数据流超出范围");
    }
    auto sectors = chain(start, miniFat_, miniStream_.size() >> kMiniSectorShift, needed);
    if (!sectors) {
        return fail(sectors.error());
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < needed; ++i) {
        const std::size_t offset = std::size_t{(*sectors)[i]} << kMiniSectorShift;
        const std::size_t count = std::min<std::size_t>(miniSize, size - data.size());
        if (offset > miniStream_.size() || count > miniStream_.size() - offset) {
            return fail("工作簿已损坏：小数据流超出范围");
        }
        data.append(miniStream_, offset, count);
    }
    return data;
}

const CompoundFile::Entry* CompoundFile::findRootStream(std::string_view name) const {
    for (const std::uint32_t id : rootStreams_) {
        if (equalsIgnoringAsciiCase(entries_[id].name, name)) {
            return &entries_[id];
        }
    }
    return nullptr;
}

std::vector<std::string> CompoundFile::streamNames() const {
    std::vector<std::string> names;
    for (const std::uint32_t id : rootStreams_) {
        names.push_back(entries_[id].name);
    }
    return names;
}

bool CompoundFile::hasStream(std::string_view name) const {
    return findRootStream(name) != nullptr;
}

Result<std::string> CompoundFile::readStream(std::string_view name) const {
    const Entry* entry = findRootStream(name);
    if (entry == nullptr) {
        return fail("文件中没有数据流 " + std::string(name));
    }
    if (entry->size == 0) {
        return std::string();
    }
    if (entry->size < miniCutoff_) {
        return readMini(entry->start, entry->size);
    }
    return readRegular(entry->start, entry->size);
}

std::optional<Bytes> CompoundFile::streamInPlace(std::string_view name) const {
    const Entry* entry = findRootStream(name);
    if (entry == nullptr || entry->size < miniCutoff_) {
        return std::nullopt;
    }
    const std::size_t sectorSize = std::size_t{1} << sectorShift_;
    const std::uint64_t needed = entry->size / sectorSize + (entry->size % sectorSize != 0 ? 1 : 0);
    if (needed > sectorCount_) {
        return std::nullopt;
    }
    const auto sectors = chain(entry->start, fat_, sectorCount_, needed);
    if (!sectors) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < needed; ++i) {
        if ((*sectors)[i] != (*sectors)[0] + i) {
            return std::nullopt;
        }
    }
    const std::size_t offset = (std::size_t{(*sectors)[0]} + 1) << sectorShift_;
    if (offset > file_.size() || entry->size > file_.size() - offset) {
        return std::nullopt;
    }
    return file_.subspan(offset, static_cast<std::size_t>(entry->size));
}

} // namespace chengxi::xls
