#pragma once

#include "xls/byte_io.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Walking the records of a BIFF8 stream, and reading data that goes on
// across CONTINUE records.
namespace chengxi::xls {

struct Record {
    std::uint16_t id = 0;
    Bytes data;
    std::size_t offset = 0; // of the record header in the stream
};

class RecordCursor {
public:
    RecordCursor(Bytes stream, std::size_t start) : stream_(stream), pos_(start) {}

    // Reads the next record; false at the end of the stream or when a record
    // would run past it (then truncated() is true).
    bool next(Record& record) {
        if (pos_ + 4 > stream_.size()) {
            truncated_ = pos_ != stream_.size();
            return false;
        }
        const std::uint16_t id = readU16(&stream_[pos_]);
        const std::uint16_t length = readU16(&stream_[pos_ + 2]);
        if (length > stream_.size() - pos_ - 4) {
            truncated_ = true;
            return false;
        }
        record.id = id;
        record.offset = pos_;
        record.data = stream_.subspan(pos_ + 4, length);
        pos_ += 4u + length;
        return true;
    }

    // Appends the data of the CONTINUE records that directly follow and
    // moves past them.
    void takeContinues(std::vector<Bytes>& segments) {
        while (pos_ + 4 <= stream_.size() && readU16(&stream_[pos_]) == 0x003C) {
            const std::uint16_t length = readU16(&stream_[pos_ + 2]);
            if (length > stream_.size() - pos_ - 4) {
                return;
            }
            segments.push_back(stream_.subspan(pos_ + 4, length));
            pos_ += 4u + length;
        }
    }

    bool truncated() const { return truncated_; }
    std::size_t position() const { return pos_; }

private:
    Bytes stream_;
    std::size_t pos_;
    bool truncated_ = false;
};

// Reads fields and strings from a record and its CONTINUE records as one
// sequence. Character data that crosses into the next record starts there
// with a new option byte saying whether the rest is compressed.
class SegmentReader {
public:
    explicit SegmentReader(std::span<const Bytes> segments) : segments_(segments) {}

    bool u8(std::uint8_t& value);
    bool u16(std::uint16_t& value);
    bool u32(std::uint32_t& value);
    bool skip(std::size_t count);
    // Appends `count` characters as UTF-8.
    bool chars(std::size_t count, bool utf16, std::string& out);
    // Bytes left in all segments.
    std::size_t remaining() const;

private:
    bool nextSegment();

    std::span<const Bytes> segments_;
    std::size_t segment_ = 0;
    std::size_t pos_ = 0;
};

// Reads an XLUnicodeString with a 16-bit (or 8-bit when `shortLength`)
// character count, as in LABEL, FORMAT and STRING records.
bool readUnicodeString(SegmentReader& reader, bool shortLength, std::string& out);

} // namespace chengxi::xls
