#include "xls/biff_stream.h"

#include "xls/utf16.h"

#include <algorithm>

namespace chengxi::xls {

bool SegmentReader::nextSegment() {
    while (segment_ < segments_.size() && pos_ >= segments_[segment_].size()) {
        ++segment_;
        pos_ = 0;
    }
    return segment_ < segments_.size();
}

bool SegmentReader::u8(std::uint8_t& value) {
    if (!nextSegment()) {
        return false;
    }
    value = segments_[segment_][pos_++];
    return true;
}

bool SegmentReader::u16(std::uint16_t& value) {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    if (!u8(low) || !u8(high)) {
        return false;
    }
    value = static_cast<std::uint16_t>(low | (high << 8));
    return true;
}

bool SegmentReader::u32(std::uint32_t& value) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!u16(low) || !u16(high)) {
        return false;
    }
    value = static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
    return true;
}

bool SegmentReader::skip(std::size_t count) {
    while (count > 0) {
        if (!nextSegment()) {
            return false;
        }
        const std::size_t step = std::min(count, segments_[segment_].size() - pos_);
        pos_ += step;
        count -= step;
    }
    return true;
}

bool SegmentReader::chars(std::size_t count, bool utf16, std::string& out) {
    Utf16Decoder decoder(out);
    while (count > 0) {
        if (segment_ >= segments_.size()) {
            return false;
        }
        const Bytes data = segments_[segment_];
        if (pos_ >= data.size()) {
            // The characters go on in the next record, after its option byte.
            ++segment_;
            pos_ = 0;
            if (segment_ >= segments_.size() || segments_[segment_].empty()) {
                return false;
            }
            utf16 = (segments_[segment_][pos_++] & 0x01) != 0;
            continue;
        }
        const std::size_t width = utf16 ? 2 : 1;
        const std::size_t available = (data.size() - pos_) / width;
        if (available == 0) {
            // A lone byte cannot hold a character; the rest is in the next record.
            pos_ = data.size();
            continue;
        }
        const std::size_t take = std::min(count, available);
        if (utf16) {
            decoder.addUnits(data.data() + pos_, take);
        } else {
            decoder.addCompressed(data.data() + pos_, take);
        }
        pos_ += take * width;
        count -= take;
    }
    decoder.finish();
    return true;
}

std::size_t SegmentReader::remaining() const {
    std::size_t total = 0;
    for (std::size_t s = segment_; s < segments_.size(); ++s) {
        total += segments_[s].size() - (s == segment_ ? std::min(pos_, segments_[s].size()) : 0);
    }
    return total;
}

bool readUnicodeString(SegmentReader& reader, bool shortLength, std::string& out) {
    std::size_t count = 0;
    if (shortLength) {
        std::uint8_t length = 0;
        if (!reader.u8(length)) {
            return false;
        }
        count = length;
    } else {
        std::uint16_t length = 0;
        if (!reader.u16(length)) {
            return false;
        }
        count = length;
    }
    std::uint8_t options = 0;
    if (!reader.u8(options)) {
        return false;
    }
    std::uint16_t runs = 0;
    std::uint32_t extension = 0;
    if ((options & 0x08) != 0 && !reader.u16(runs)) {
        return false;
    }
    if ((options & 0x04) != 0 && !reader.u32(extension)) {
        return false;
    }
    return reader.chars(count, (options & 0x01) != 0, out);
}

} // namespace chengxi::xls
