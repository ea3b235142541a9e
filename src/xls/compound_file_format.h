#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The fixed numbers of the compound file layout, shared by its reader and
// its writer: the header's fields, the special sector numbers and the
// fields of a directory entry.
namespace chengxi::xls::cfb {

inline constexpr std::array<std::uint8_t, 8> kSignature = {0xD0, 0xCF, 0x11, 0xE0,
                                                           0xA1, 0xB1, 0x1A, 0xE1};

// The header fills the file's first 512 bytes whatever the sector size.
inline constexpr std::size_t kHeaderSize = 512;
inline constexpr std::uint16_t kMinorVersion = 0x003E;
inline constexpr std::uint16_t kMajorVersion3 = 3;
inline constexpr std::uint16_t kByteOrderMark = 0xFFFE;
// Sectors are 512 bytes in version 3 and 4096 in version 4; mini sectors 64.
inline constexpr unsigned kSectorShift3 = 9;
inline constexpr unsigned kSectorShift4 = 12;
inline constexpr unsigned kMiniSectorShift = 6;
// Streams shorter than this live in the mini stream.
inline constexpr std::uint32_t kMiniStreamCutoff = 4096;

// Byte offsets of the header's fields.
namespace header {
inline constexpr std::size_t kMinorVersion = 24;
inline constexpr std::size_t kMajorVersion = 26;
inline constexpr std::size_t kByteOrder = 28;
inline constexpr std::size_t kSectorShift = 30;
inline constexpr std::size_t kMiniSectorShift = 32;
inline constexpr std::size_t kDirectorySectorCount = 40;
inline constexpr std::size_t kFatSectorCount = 44;
inline constexpr std::size_t kFirstDirectorySector = 48;
inline constexpr std::size_t kMiniStreamCutoff = 56;
inline constexpr std::size_t kFirstMiniFatSector = 60;
inline constexpr std::size_t kMiniFatSectorCount = 64;
inline constexpr std::size_t kFirstDifatSector = 68;
inline constexpr std::size_t kDifatSectorCount = 72;
inline constexpr std::size_t kDifat = 76;
} // namespace header

// The header lists the first 109 FAT sectors; DIFAT sectors list the rest.
inline constexpr std::size_t kHeaderDifatEntries = 109;

// FAT, mini FAT and DIFAT entries are 32-bit sector numbers.
inline constexpr std::size_t kSectorNumberSize = 4;
// Sector numbers above this one are not sectors but marks.
inline constexpr std::uint32_t kMaxRegularSector = 0xFFFFFFFA;
inline constexpr std::uint32_t kDifatSector = 0xFFFFFFFC;
inline constexpr std::uint32_t kFatSector = 0xFFFFFFFD;
inline constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
// A directory link that leads nowhere.
inline constexpr std::uint32_t kNoStream = 0xFFFFFFFF;

inline constexpr std::size_t kDirectoryEntrySize = 128;
// An entry's name field holds 32 UTF-16 units, the terminating zero included.
inline constexpr std::size_t kNameFieldSize = 64;
inline constexpr std::size_t kMaxNameUnits = 31;

// Byte offsets of a directory entry's fields.
namespace entry {
inline constexpr std::size_t kName = 0;
inline constexpr std::size_t kNameLength = 64;
inline constexpr std::size_t kType = 66;
inline constexpr std::size_t kColour = 67;
inline constexpr std::size_t kLeftSibling = 68;
inline constexpr std::size_t kRightSibling = 72;
inline constexpr std::size_t kChild = 76;
inline constexpr std::size_t kStartSector = 116;
inline constexpr std::size_t kSize = 120;
} // namespace entry

inline constexpr std::uint8_t kTypeEmpty = 0;
inline constexpr std::uint8_t kTypeStorage = 1;
inline constexpr std::uint8_t kTypeStream = 2;
inline constexpr std::uint8_t kTypeRoot = 5;

inline constexpr std::uint8_t kColourBlack = 1;

} // namespace chengxi::xls::cfb
