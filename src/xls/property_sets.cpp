#include "xls/property_sets.h"

#include "xls/byte_io.h"

#include <array>
#include <cstdint>

namespace chengxi::xls {
namespace {

// Format ids of the two property sets, in their on-disk byte order.
constexpr std::array<std::uint8_t, 16> kSummaryFormat = {
    0xE0, 0x85, 0x9F, 0xF2, 0xF9, 0x4F, 0x68, 0x10, 0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9};
constexpr std::array<std::uint8_t, 16> kDocumentSummaryFormat = {
    0x02, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10, 0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};

constexpr std::uint16_t kTypeI2 = 0x0002;
constexpr std::uint32_t kCodePageProperty = 1;
constexpr std::uint16_t kCodePageUnicode = 1200;

std::string propertySetStream(const std::array<std::uint8_t, 16>& format) {
    std::string out;
    ByteWriter w(out);
    w.u16(0xFFFE); // byte order
    w.u16(0);      // version
    w.u32(0x00020006);
    w.zeros(16); // class id
    w.u32(1);    // one property set
    w.bytes(std::string_view(reinterpret_cast<const char*>(format.data()), format.size()));
    w.u32(48); // offset of the set
    // The set: size, count, one (id, offset) pair, then the code page.
    w.u32(8 + 8 + 8);
    w.u32(1);
    w.u32(kCodePageProperty);
    w.u32(16);
    w.u16(kTypeI2);
    w.u16(0);
    w.u16(kCodePageUnicode);
    w.u16(0);
    return out;
}

} // namespace

std::string summaryInformationStream() {
    return propertySetStream(kSummaryFormat);
}

std::string documentSummaryInformationStream() {
    return propertySetStream(kDocumentSummaryFormat);
}

} // namespace chengxi::xls
