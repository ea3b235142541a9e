#include "xls/compound_file.h"

#include "xls/compound_file_format.h"
#include "xls/utf16.h"

#include <algorithm>
#include <cstring>

namespace chengxi::xls {
namespace {

constexpr const char* kIncompleteFile = "工作簿已损坏：文件不完整";

std::string entryName(const std::uint8_t* entry) {
    const std::uint16_t byteLength = readU16(entry + cfb::entry::kNameLength);
    // The length counts the terminating zero; a damaged length is clipped
    // to the 32 characters the field holds.
    std::size_t units = byteLength >= 2 ? (byteLength / 2) - 1 : 0;
    units = std::min(units, cfb::kMaxNameUnits);
    std::string name;
    Utf16Decoder decoder(name);
    decoder.addUnits(entry + cfb::entry::kName, units);
    decoder.finish();
    return name;
}

// Appends the first `count` sector numbers a FAT, mini FAT or DIFAT sector
// holds.
void appendSectorNumbers(Bytes sector, std::size_t count, std::vector<std::uint32_t>& to) {
    for (std::size_t i = 0; i < count; ++i) {
        to.push_back(readU32(sector.data() + cfb::kSectorNumberSize * i));
    }
}

} // namespace

struct CompoundFile::Header {
    std::uint16_t majorVersion = 0;
    unsigned sectorShift = 0;
    std::uint32_t miniCutoff = 0;
    std::uint32_t fatSectorCount = 0;
    std::uint32_t firstDirectory = 0;
    std::uint32_t firstMiniFat = 0;
    std::uint32_t firstDifat = 0;
    std::uint32_t difatSectorCount = 0;
};

Result<CompoundFile> CompoundFile::parse(Bytes file) {
    auto header = readHeader(file);
    if (!header) {
        return fail(header.error());
    }
    CompoundFile cf;
    cf.file_ = file;
    cf.sectorShift_ = header->sectorShift;
    // The sectors after the header's, the last one perhaps cut short.
    const std::size_t sectorSize = cf.sectorSize();
    cf.sectorCount_ = (file.size() - sectorSize + sectorSize - 1) / sectorSize;
    cf.miniCutoff_ = header->miniCutoff;

    if (Status fat = cf.readFat(*header); !fat) {
        return fail(fat.error());
    }
    if (Status directory = cf.readDirectory(*header); !directory) {
        return fail(directory.error());
    }
    if (Status streams = cf.findRootStreams(); !streams) {
        return fail(streams.error());
    }
    if (Status mini = cf.readMiniFatAndStream(*header); !mini) {
        return fail(mini.error());
    }
    return cf;
}

Result<CompoundFile::Header> CompoundFile::readHeader(Bytes file) {
    if (file.size() < cfb::kHeaderSize) {
        return fail(file.empty() ? "文件是空的" : "文件太短，不是 Excel 工作簿");
    }
    if (!std::equal(cfb::kSignature.begin(), cfb::kSignature.end(), file.begin())) {
        return fail("文件不是 Excel 97-2003 工作簿");
    }
    const std::uint8_t* raw = file.data();
    Header header;
    header.majorVersion = readU16(raw + cfb::header::kMajorVersion);
    header.sectorShift = readU16(raw + cfb::header::kSectorShift);
    if (header.sectorShift != cfb::kSectorShift3 && header.sectorShift != cfb::kSectorShift4) {
        return fail("工作簿已损坏：未知的扇区大小");
    }
    if (readU16(raw + cfb::header::kMiniSectorShift) != cfb::kMiniSectorShift) {
        return fail("工作簿已损坏：未知的小扇区大小");
    }
    // The header takes a whole sector, and at least one more must follow.
    if (file.size() <= std::size_t{1} << header.sectorShift) {
        return fail("文件太短，不是 Excel 工作簿");
    }
    header.miniCutoff = readU32(raw + cfb::header::kMiniStreamCutoff);
    header.fatSectorCount = readU32(raw + cfb::header::kFatSectorCount);
    header.firstDirectory = readU32(raw + cfb::header::kFirstDirectorySector);
    header.firstMiniFat = readU32(raw + cfb::header::kFirstMiniFatSector);
    header.firstDifat = readU32(raw + cfb::header::kFirstDifatSector);
    header.difatSectorCount = readU32(raw + cfb::header::kDifatSectorCount);
    return header;
}

std::size_t CompoundFile::sectorOffset(std::uint32_t sector) const {
    return (std::size_t{sector} + 1) << sectorShift_;
}

std::optional<Bytes> CompoundFile::wholeSector(std::uint32_t sector) const {
    const std::size_t offset = sectorOffset(sector);
    if (offset + sectorSize() > file_.size()) {
        return std::nullopt;
    }
    return file_.subspan(offset, sectorSize());
}

// The FAT's own sector numbers: the first ones in the header, the rest in
// a chain of DIFAT sectors, each ending with the number of the next.
Result<std::vector<std::uint32_t>> CompoundFile::fatSectorNumbers(const Header& header) const {
    const std::uint32_t count = header.fatSectorCount;
    std::vector<std::uint32_t> fatSectors;
    fatSectors.reserve(count);
    appendSectorNumbers(file_.subspan(cfb::header::kDifat),
                        std::min<std::size_t>(cfb::kHeaderDifatEntries, count), fatSectors);

    const std::size_t perDifat = sectorSize() / cfb::kSectorNumberSize - 1;
    std::uint32_t difat = header.firstDifat;
    for (std::uint32_t visited = 0; fatSectors.size() < count; ++visited) {
        if (difat > cfb::kMaxRegularSector || difat >= sectorCount_ ||
            visited >= header.difatSectorCount + 1 || visited > sectorCount_) {
            return fail("工作簿已损坏：分配表索引有误");
        }
        const std::optional<Bytes> sector = wholeSector(difat);
        if (!sector) {
            return fail(kIncompleteFile);
        }
        appendSectorNumbers(*sector, std::min<std::size_t>(perDifat, count - fatSectors.size()),
                            fatSectors);
        difat = readU32(sector->data() + cfb::kSectorNumberSize * perDifat);
    }
    return fatSectors;
}

Status CompoundFile::readFat(const Header& header) {
    if (header.fatSectorCount > sectorCount_) {
        return fail("工作簿已损坏：分配表大于文件");
    }
    const auto fatSectors = fatSectorNumbers(header);
    if (!fatSectors) {
        return fail(fatSectors.error());
    }
    const std::size_t perSector = sectorSize() / cfb::kSectorNumberSize;
    fat_.reserve(fatSectors->size() * perSector);
    for (const std::uint32_t number : *fatSectors) {
        if (number >= sectorCount_) {
            return fail("工作簿已损坏：分配表指向文件之外");
        }
        const std::optional<Bytes> sector = wholeSector(number);
        if (!sector) {
            return fail(kIncompleteFile);
        }
        appendSectorNumbers(*sector, perSector, fat_);
    }
    return {};
}

CompoundFile::Entry CompoundFile::readEntry(const std::uint8_t* raw, std::uint16_t majorVersion) {
    Entry entry;
    entry.type = raw[cfb::entry::kType];
    if (entry.type != cfb::kTypeEmpty) {
        entry.name = entryName(raw);
    }
    entry.left = readU32(raw + cfb::entry::kLeftSibling);
    entry.right = readU32(raw + cfb::entry::kRightSibling);
    entry.child = readU32(raw + cfb::entry::kChild);
    entry.start = readU32(raw + cfb::entry::kStartSector);
    // Version 3 leaves the size's high half undefined.
    entry.size = majorVersion == cfb::kMajorVersion3 ? readU32(raw + cfb::entry::kSize)
                                                     : readU64(raw + cfb::entry::kSize);
    return entry;
}

Status CompoundFile::readDirectory(const Header& header) {
    auto directory = chain(header.firstDirectory, fat_, sectorCount_, 1);
    if (!directory) {
        return fail(directory.error());
    }
    const std::size_t entriesPerSector = sectorSize() / cfb::kDirectoryEntrySize;
    entries_.reserve(directory->size() * entriesPerSector);
    for (const std::uint32_t number : *directory) {
        const std::optional<Bytes> sector = wholeSector(number);
        if (!sector) {
            return fail(kIncompleteFile);
        }
        for (std::size_t i = 0; i < entriesPerSector; ++i) {
            entries_.push_back(
                readEntry(sector->data() + i * cfb::kDirectoryEntrySize, header.majorVersion));
        }
    }
    if (entries_.empty() || entries_[0].type != cfb::kTypeRoot) {
        return fail("工作簿已损坏：没有根目录");
    }
    return {};
}

// Walks the root's sibling tree, refusing to visit an entry twice so a
// looping tree cannot hang the reader.
Status CompoundFile::findRootStreams() {
    std::vector<bool> seen(entries_.size(), false);
    std::vector<std::uint32_t> pending;
    if (entries_[0].child != cfb::kNoStream) {
        pending.push_back(entries_[0].child);
    }
    while (!pending.empty()) {
        const std::uint32_t id = pending.back();
        pending.pop_back();
        if (id >= entries_.size() || seen[id] || id == 0) {
            return fail("工作簿已损坏：目录树有误");
        }
        seen[id] = true;
        const Entry& entry = entries_[id];
        if (entry.type == cfb::kTypeStream) {
            rootStreams_.push_back(id);
        } else if (entry.type != cfb::kTypeStorage) {
            return fail("工作簿已损坏：目录树有误");
        }
        if (entry.left != cfb::kNoStream) {
            pending.push_back(entry.left);
        }
        if (entry.right != cfb::kNoStream) {
            pending.push_back(entry.right);
        }
    }
    std::sort(rootStreams_.begin(), rootStreams_.end());
    return {};
}

// Only when some stream lives in the mini stream; the root entry holds the
// mini stream's chain and size.
Status CompoundFile::readMiniFatAndStream(const Header& header) {
    if (header.firstMiniFat == cfb::kEndOfChain || header.firstMiniFat == cfb::kFreeSector) {
        return {};
    }
    auto miniFatChain = chain(header.firstMiniFat, fat_, sectorCount_, 1);
    if (!miniFatChain) {
        return fail(miniFatChain.error());
    }
    const std::size_t perSector = sectorSize() / cfb::kSectorNumberSize;
    miniFat_.reserve(miniFatChain->size() * perSector);
    for (const std::uint32_t number : *miniFatChain) {
        const std::optional<Bytes> sector = wholeSector(number);
        if (!sector) {
            return fail(kIncompleteFile);
        }
        appendSectorNumbers(*sector, perSector, miniFat_);
    }
    const Entry& root = entries_[0];
    if (root.size > 0) {
        auto mini = readRegular(root.start, root.size);
        if (!mini) {
            return fail(mini.error());
        }
        miniStream_ = std::move(mini.value());
    }
    return {};
}

Result<std::vector<std::uint32_t>> CompoundFile::chain(std::uint32_t start,
                                                       const std::vector<std::uint32_t>& table,
                                                       std::uint64_t limit,
                                                       std::uint64_t minimumLength) {
    const std::uint64_t sectorsThere = std::min<std::uint64_t>(limit, table.size());
    std::vector<std::uint32_t> sectors;
    std::uint32_t sector = start;
    while (sector != cfb::kEndOfChain) {
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

Result<std::vector<std::uint32_t>> CompoundFile::regularSectors(std::uint32_t start,
                                                                std::uint64_t size) const {
    // Rounded up without adding first: a version-4 size near 2^64 must not
    // wrap round to a small count.
    const std::uint64_t needed = size / sectorSize() + (size % sectorSize() != 0 ? 1 : 0);
    if (needed > sectorCount_) {
        return fail("工作簿已损坏：数据流大于文件");
    }
    auto sectors = chain(start, fat_, sectorCount_, needed);
    if (!sectors) {
        return fail(sectors.error());
    }
    sectors->resize(static_cast<std::size_t>(needed));
    std::uint64_t left = size;
    for (const std::uint32_t sector : *sectors) {
        const std::size_t offset = sectorOffset(sector);
        const std::size_t count =
            static_cast<std::size_t>(std::min<std::uint64_t>(sectorSize(), left));
        if (offset > file_.size() || count > file_.size() - offset) {
            return fail(kIncompleteFile);
        }
        left -= count;
    }
    return sectors;
}

Result<std::string> CompoundFile::readRegular(std::uint32_t start, std::uint64_t size) const {
    auto sectors = regularSectors(start, size);
    if (!sectors) {
        return fail(sectors.error());
    }
    std::string data;
    data.resize(static_cast<std::size_t>(size));
    std::size_t written = 0;
    for (const std::uint32_t sector : *sectors) {
        const std::size_t count = std::min<std::size_t>(sectorSize(), data.size() - written);
        std::copy_n(file_.data() + sectorOffset(sector), count,
                    reinterpret_cast<std::uint8_t*>(data.data()) + written);
        written += count;
    }
    return data;
}

Result<std::optional<CompoundFile::StreamSectors>>
CompoundFile::regularStreamSectors(std::string_view name) const {
    const Entry* entry = findRootStream(name);
    if (entry == nullptr) {
        return fail("文件中没有数据流 " + std::string(name));
    }
    if (entry->size < miniCutoff_) {
        return std::optional<StreamSectors>();
    }
    auto sectors = regularSectors(entry->start, entry->size);
    if (!sectors) {
        return fail(sectors.error());
    }
    return std::optional<StreamSectors>(
        StreamSectors{std::move(*sectors), entry->size, sectorShift_});
}

Result<std::string> CompoundFile::readMini(std::uint32_t start, std::uint64_t size) const {
    const std::size_t miniSize = std::size_t{1} << cfb::kMiniSectorShift;
    const std::uint64_t needed = (size + miniSize - 1) / miniSize;
    if (size > miniStream_.size()) {
        return fail("工作簿已损坏：小数据流超出范围");
    }
    auto sectors = chain(start, miniFat_, miniStream_.size() >> cfb::kMiniSectorShift, needed);
    if (!sectors) {
        return fail(sectors.error());
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < needed; ++i) {
        const std::size_t offset = std::size_t{(*sectors)[i]} << cfb::kMiniSectorShift;
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
    const std::uint64_t needed =
        entry->size / sectorSize() + (entry->size % sectorSize() != 0 ? 1 : 0);
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
    const std::size_t offset = sectorOffset((*sectors)[0]);
    if (offset > file_.size() || entry->size > file_.size() - offset) {
        return std::nullopt;
    }
    return file_.subspan(offset, static_cast<std::size_t>(entry->size));
}

namespace {
// What a window reads beyond what is asked, so that records are read from
// the file in large pieces rather than one sector at a time.
constexpr std::size_t kReadAhead = std::size_t{256} << 10;
} // namespace

Bytes SectorFeed::window(std::size_t from, std::size_t to) {
    to = std::min(to, size());
    if (from > to) {
        return {};
    }
    const std::size_t end = std::min(std::max(to, from + kReadAhead), size());
    const std::size_t bufferEnd = bufferStart_ + buffer_.size();
    // What the buffer already holds from `from` on is kept, moved to its front.
    std::size_t kept = 0;
    if (from >= bufferStart_ && from < bufferEnd) {
        kept = bufferEnd - from;
        std::memmove(buffer_.data(), buffer_.data() + (from - bufferStart_), kept);
    }
    if (kept >= to - from) {
        buffer_.resize(kept);
        bufferStart_ = from;
        return Bytes(buffer_.data(), kept);
    }
    if (buffer_.capacity() > 2 * (end - from) + kReadAhead) {
        // A window that grew for one long record (the shared strings) gives
        // its room back rather than keeping it for the rest of the reading.
        std::vector<std::uint8_t> smaller(buffer_.begin(),
                                          buffer_.begin() + static_cast<std::ptrdiff_t>(kept));
        buffer_.swap(smaller);
    }
    buffer_.resize(end - from);
    bufferStart_ = from;
    if (!readInto(buffer_.data() + kept, from + kept, end - from - kept)) {
        buffer_.clear();
        return {};
    }
    return Bytes(buffer_.data(), buffer_.size());
}

bool SectorFeed::readInto(std::uint8_t* out, std::size_t from, std::size_t count) {
    const unsigned shift = layout_.sectorShift;
    const std::size_t sectorSize = std::size_t{1} << shift;
    while (count > 0) {
        // The run of sectors that follow one another in the file from here.
        std::size_t index = from >> shift;
        const std::size_t within = from & (sectorSize - 1);
        std::size_t run = sectorSize - within;
        while (run < count && index + 1 < layout_.sectors.size() &&
               layout_.sectors[index + 1] == layout_.sectors[index] + 1) {
            ++index;
            run += sectorSize;
        }
        run = std::min(run, count);
        const std::uint64_t offset =
            ((std::uint64_t{layout_.sectors[from >> shift]} + 1) << shift) + within;
        file_.clear();
        file_.seekg(static_cast<std::streamoff>(offset));
        if (!file_.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(run))) {
            return false;
        }
        out += run;
        from += run;
        count -= run;
    }
    return true;
}

} // namespace chengxi::xls
