// Code page 936 through the C library's iconv (glibc's CP936 is the GBK table).
//
// The code page maps every character on its own, with no shift state, so the
// characters are converted through tables filled from iconv a block at a time
// as texts need them: the same bytes as iconv gives, without one iconv call
// per text (an import converts a million cell texts).
#include "text/cp936.h"
#include "text/utf8.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <stdexcept>

namespace chengxi::text {
namespace {

bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// One conversion descriptor, opened once: opening costs far more than
// converting a short text.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("iconv cannot convert between CP936 and UTF-8");
        }
    }
    ~Converter() { iconv_close(handle_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The whole of `in` converted; false when iconv cannot take all of it.
    bool convertAll(std::string_view in, std::string& out) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char buffer[16];
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft);
        out.assign(buffer, static_cast<std::size_t>(outPtr - buffer));
        return result != static_cast<std::size_t>(-1) && inLeft == 0;
    }

private:
    iconv_t handle_;
};

// The GBK bytes of each character of the basic plane, a block of 256 filled
// the first time one of its characters is met.
class EncodeTable {
public:
    struct Bytes {
        std::uint8_t length = 0; // 0: the code page lacks the character
        std::array<char, 2> bytes{};
    };

    const Bytes& of(char32_t code) {
        const std::unique_ptr<Block>& block = blocks_[code >> 8];
        if (!block) [[unlikely]] {
            return builtFor(code);
        }
        return (*block)[code & 0xFF];
    }

private:
    using Block = std::array<Bytes, 256>;

    // Out of line, so the converting loops keep their variables in registers.
    [[gnu::noinline, gnu::cold]] const Bytes& builtFor(char32_t code) {
        blocks_[code >> 8] = build(code >> 8);
        return (*blocks_[code >> 8])[code & 0xFF];
    }

    std::unique_ptr<Block> build(char32_t high) {
        auto block = std::make_unique<Block>();
        std::string character;
        std::string out;
        for (char32_t low = 0; low < 256; ++low) {
            const char32_t code = high << 8 | low;
            if (code >= 0xD800 && code <= 0xDFFF) {
                continue; // surrogates are not characters
            }
            character.clear();
            appendUtf8(character, code);
            if (converter_.convertAll(character, out) && (out.size() == 1 || out.size() == 2)) {
                Bytes& entry = (*block)[low];
                entry.length = static_cast<std::uint8_t>(out.size());
                std::copy(out.begin(), out.end(), entry.bytes.begin());
            }
        }
        return block;
    }

    Converter converter_{"CP936", "UTF-8"};
    std::array<std::unique_ptr<Block>, 256> blocks_;
};

// The character of each GBK byte pair, a lead byte's 256 pairs filled the
// first time the lead byte is met; and the characters of single high bytes.
class DecodeTable {
public:
    // 0 when the pair is not a character.
    char32_t pair(unsigned char lead, unsigned char trail) {
        const std::unique_ptr<Block>& block = pairs_[lead];
        if (!block) [[unlikely]] {
            return builtFor(lead, trail);
        }
        return (*block)[trail];
    }

    // A byte from 0x80 that is a character on its own (0x80, the euro sign);
    // 0 when it is not.
    char32_t single(unsigned char byte) {
        if (!singlesBuilt_) {
            std::string out;
            for (int b = 0x80; b < 0x100; ++b) {
                const char in = static_cast<char>(b);
                singles_[b - 0x80] = converter_.convertAll(std::string_view(&in, 1), out)
                                         ? decodedCharacter(out)
                                         : 0;
            }
            singlesBuilt_ = true;
        }
        return byte < 0x80 ? byte : singles_[byte - 0x80];
    }

private:
    using Block = std::array<char32_t, 256>;

    [[gnu::noinline, gnu::cold]] char32_t builtFor(unsigned char lead, unsigned char trail) {
        pairs_[lead] = build(lead);
        return (*pairs_[lead])[trail];
    }

    // The one character `utf8` holds; 0 when it holds another number of them.
    static char32_t decodedCharacter(std::string_view utf8) {
        std::size_t pos = 0;
        const char32_t code = utf8.empty() ? 0 : decodeUtf8(utf8, pos);
        return pos == utf8.size() ? code : 0;
    }

    std::unique_ptr<Block> build(unsigned char lead) {
        auto block = std::make_unique<Block>();
        std::string out;
        for (int trail = 0; trail < 256; ++trail) {
            const char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            (*block)[trail] =
                converter_.convertAll(std::string_view(in, 2), out) ? decodedCharacter(out) : 0;
        }
        return block;
    }

    Converter converter_{"UTF-8", "CP936"};
    std::array<std::unique_ptr<Block>, 256> pairs_;
    std::array<char32_t, 128> singles_{};
    bool singlesBuilt_ = false;
};

EncodeTable& encodeTable() {
    thread_local EncodeTable table;
    return table;
}

DecodeTable& decodeTable() {
    thread_local DecodeTable table;
    return table;
}

// Encodes `utf8` into `write`, which has room for utf8.size() bytes, and
// returns the end of what it wrote. The first character the code page lacks
// ends it, named in `unencodable`.
char* encodeInto(std::string_view utf8, char* write, std::string_view& unencodable) {
    const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    EncodeTable* table = nullptr; // found at the first character beyond ASCII
    std::size_t pos = 0;
    while (pos < size) {
        const unsigned char lead = in[pos];
        if (lead < 0x80) {
            *write++ = static_cast<char>(lead);
            ++pos;
            continue;
        }
        const std::size_t start = pos;
        char32_t code = threeByteCharacter(utf8, pos);
        if (code != 0) {
            pos += 3;
        } else {
            code = decodeUtf8(utf8, pos);
        }
        if (isByteEscape(code)) {
            *write++ = static_cast<char>(escapedByte(code));
            continue;
        }
        if (table == nullptr) {
            table = &encodeTable();
        }
        // A malformed sequence decodes as U+FFFD, which the code page lacks too.
        const EncodeTable::Bytes* bytes = code < 0x10000 ? &table->of(code) : nullptr;
        if (bytes == nullptr || bytes->length == 0) {
            unencodable = utf8.substr(start, pos - start);
            return write;
        }
        *write++ = bytes->bytes[0];
        if (bytes->length == 2) {
            *write++ = bytes->bytes[1];
        }
    }
    return write;
}

// Writes the UTF-8 of `code` at `write`; the end of what it wrote.
[[gnu::always_inline]] inline char* putUtf8(char* write, char32_t code) {
    if (code < 0x80) {
        *write++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *write++ = static_cast<char>(0xC0 | code >> 6);
        *write++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        *write++ = static_cast<char>(0xE0 | code >> 12);
        *write++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
        *write++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *write++ = static_cast<char>(0xF0 | code >> 18);
        *write++ = static_cast<char>(0x80 | (code >> 12 & 0x3F));
        *write++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
        *write++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return write;
}

// A byte of code page 936 takes at most three bytes of UTF-8 (a single high
// byte or a byte escape; a pair takes at most four).
constexpr std::size_t kMaxUtf8PerByte = 3;
// The decoding room kept between texts: a cell's text fits many times over.
constexpr std::size_t kKeptRoom = 64 * 1024;

} // namespace

std::string_view appendCp936(std::string_view utf8, std::string& out) {
    if (isAscii(utf8)) {
        out += utf8;
        return {};
    }
    // A character never takes more bytes in code page 936 than in UTF-8, so
    // the bytes are written into room made once and the rest cut off after.
    const std::size_t base = out.size();
    out.resize(base + utf8.size());
    std::string_view unencodable;
    const char* end = encodeInto(utf8, out.data() + base, unencodable);
    out.resize(static_cast<std::size_t>(end - out.data()));
    return unencodable;
}

Cp936Bytes toCp936(std::string_view utf8) {
    Cp936Bytes result;
    result.unencodable = appendCp936(utf8, result.bytes);
    return result;
}

bool isCp936Encodable(std::string_view utf8) {
    return toCp936(utf8).ok();
}

std::string fromCp936(std::string_view bytes) {
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t pos = 0;
    while (pos < size && in[pos] < 0x80) {
        ++pos;
    }
    if (pos == size) {
        return std::string(bytes);
    }
    DecodeTable& table = decodeTable();
    // Written into room for the longest the text can become, then copied
    // out at its size: a list keeps its texts, so none keeps spare room.
    // The room is kept for the next text, unless a rare long one needed it.
    thread_local std::string keptRoom;
    std::string longRoom;
    std::string& room = size * kMaxUtf8PerByte <= kKeptRoom ? keptRoom : longRoom;
    if (room.size() < size * kMaxUtf8PerByte) {
        room.resize(size * kMaxUtf8PerByte);
    }
    std::memcpy(room.data(), in, pos);
    char* write = room.data() + pos;
    while (pos < size) {
        const unsigned char byte = in[pos];
        if (byte < 0x80) {
            *write++ = static_cast<char>(byte);
            ++pos;
            continue;
        }
        if (pos + 1 < size) {
            if (const char32_t code = table.pair(byte, in[pos + 1])) {
                write = putUtf8(write, code);
                pos += 2;
                continue;
            }
        }
        const char32_t single = table.single(byte);
        write = putUtf8(write, single != 0 ? single : byteEscape(byte));
        ++pos;
    }
    return std::string(room.data(), static_cast<std::size_t>(write - room.data()));
}

} // namespace chengxi::text
