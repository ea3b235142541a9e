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

// A stream read from its file a window at a time, for a cursor that must
// not hold the whole stream in memory.
class StreamFeed {
public:
    virtual ~StreamFeed() = default;
    virtual std::size_t size() const = 0;
    // The stream's bytes from `from` on, at least to `to` unless the stream
    // ends first; empty when the file cannot be read. Valid until the next
    // call.
    virtual Bytes window(std::size_t from, std::size_t to) = 0;
};

class RecordCursor {
public:
    RecordCursor(Bytes stream, std::size_t start)
        : window_(stream), size_(stream.size()), pos_(start) {}
    // A record, with its CONTINUE records, stays readable until the next
    // record is read.
    RecordCursor(StreamFeed& feed, std::size_t start)
        : feed_(&feed), size_(feed.size()), pos_(start) {}

    // Reads the next record; false at the end of the stream or when a record
    // would run past it (then truncated() is true).
    bool next(Record& record) {
        if (pos_ + 4 > size_) {
            truncated_ = pos_ != size_;
            return false;
        }
        if (!holds(pos_ + 4) && !slide(pos_, pos_ + 4)) {
            truncated_ = true;
            return false;
        }
        const std::uint16_t id = readU16(at(pos_));
        const std::uint16_t length = readU16(at(pos_ + 2));
        if (length > size_ - pos_ - 4) {
            truncated_ = true;
            return false;
        }
        if (!holds(pos_ + 4 + length) && !slide(pos_, pos_ + 4 + length)) {
            truncated_ = true;
            return false;
        }
        record.id = id;
        record.offset = pos_;
        record.data = Bytes(at(pos_ + 4), length);
        recordStart_ = pos_;
        pos_ += 4u + length;
        return true;
    }

    // Appends the data of the CONTINUE records that directly follow and
    // moves past them. Segments already in `segments` from this record stay
    // valid (they move with the window when it slides).
    void takeContinues(std::vector<Bytes>& segments) {
        while (pos_ + 4 <= size_ && reach(segments, pos_ + 4) && readU16(at(pos_)) == 0x003C) {
            const std::uint16_t length = readU16(at(pos_ + 2));
            if (length > size_ - pos_ - 4 || !reach(segments, pos_ + 4 + length)) {
                return;
            }
            segments.push_back(Bytes(at(pos_ + 4), length));
            pos_ += 4u + length;
        }
    }

    bool truncated() const { return truncated_; }
    std::size_t position() const { return pos_; }

private:
    bool holds(std::size_t end) const { return end <= windowStart_ + window_.size(); }
    const std::uint8_t* at(std::size_t offset) const {
        return window_.data() + (offset - windowStart_);
    }
    // Moves the window to start at `from` and reach `to`; false when the
    // stream is in memory whole or its file fails.
    bool slide(std::size_t from, std::size_t to) {
        if (feed_ == nullptr) {
            return false;
        }
        window_ = feed_->window(from, to);
        windowStart_ = from;
        return to - from <= window_.size();
    }
    // Makes the window reach `end` while keeping the current record, and
    // moves `segments` that lay in it along.
    bool reach(std::vector<Bytes>& segments, std::size_t end) {
        if (holds(end)) {
            return true;
        }
        const std::uint8_t* oldBase = window_.data();
        const std::size_t oldStart = windowStart_;
        const std::size_t oldSize = window_.size();
        if (!slide(recordStart_, end)) {
            // The file failed under the window: what was read of the record
            // is gone, so its reading fails as for a record cut short.
            segments.clear();
            truncated_ = true;
            return false;
        }
        for (Bytes& segment : segments) {
            if (segment.data() >= oldBase && segment.data() <= oldBase + oldSize) {
                const std::size_t offset = oldStart + (segment.data() - oldBase);
                segment = Bytes(at(offset), segment.size());
            }
        }
        return true;
    }

    StreamFeed* feed_ = nullptr;
    Bytes window_;
    std::size_t windowStart_ = 0;
    std::size_t size_;
    std::size_t pos_;
    std::size_t recordStart_ = 0;
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
