#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

// Little-endian access to file bytes. Reads take a position the caller has
// already checked against the size; ByteCursor does the checking for code
// that walks a structure field by field.
namespace chengxi::xls {

using Bytes = std::span<const std::uint8_t>;

inline std::uint16_t readU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t readU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t readU64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(readU32(p)) |
           (static_cast<std::uint64_t>(readU32(p + 4)) << 32);
}

inline double readF64(const std::uint8_t* p) {
    const std::uint64_t bits = readU64(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Reads fields in order from a byte span; any read past the end sets the
// cursor failed and yields zero, so a parser can read a whole header and
// check once.
class ByteCursor {
public:
    explicit ByteCursor(Bytes bytes) : bytes_(bytes) {}

    bool failed() const { return failed_; }
    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return failed_ ? 0 : bytes_.size() - pos_; }

    std::uint8_t u8() { return take(1) ? bytes_[pos_ - 1] : 0; }
    std::uint16_t u16() { return take(2) ? readU16(&bytes_[pos_ - 2]) : 0; }
    std::uint32_t u32() { return take(4) ? readU32(&bytes_[pos_ - 4]) : 0; }
    double f64() { return take(8) ? readF64(&bytes_[pos_ - 8]) : 0.0; }
    Bytes bytes(std::size_t count) {
        return take(count) ? bytes_.subspan(pos_ - count, count) : Bytes{};
    }
    void skip(std::size_t count) { take(count); }

private:
    bool take(std::size_t count) {
        if (failed_ || count > bytes_.size() - pos_) {
            failed_ = true;
            return false;
        }
        pos_ += count;
        return true;
    }

    Bytes bytes_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

// Appends little-endian fields to a byte string.
class ByteWriter {
public:
    explicit ByteWriter(std::string& out) : out_(out) {}

    void u8(std::uint8_t value) { out_.push_back(static_cast<char>(value)); }
    void u16(std::uint16_t value) {
        u8(static_cast<std::uint8_t>(value));
        u8(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(static_cast<std::uint16_t>(value));
        u16(static_cast<std::uint16_t>(value >> 16));
    }
    void u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value));
        u32(static_cast<std::uint32_t>(value >> 32));
    }
    void f64(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        u64(bits);
    }
    void bytes(std::string_view data) { out_.append(data); }
    void zeros(std::size_t count) { out_.append(count, '\0'); }
    std::size_t size() const { return out_.size(); }
    std::string& out() { return out_; }

private:
    std::string& out_;
};

// Overwrites a little-endian field already written.
inline void patchU16(std::string& out, std::size_t at, std::uint16_t value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>(value >> 8);
}

inline void patchU32(std::string& out, std::size_t at, std::uint32_t value) {
    patchU16(out, at, static_cast<std::uint16_t>(value));
    patchU16(out, at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline Bytes asBytes(std::string_view data) {
    return {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()};
}

} // namespace chengxi::xls
