#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The two character forms of workbook strings (UTF-16LE and "compressed",
// one byte per character of U+0000 to U+00FF) to and from UTF-8.
namespace chengxi::xls {

// Decodes UTF-16LE code units into UTF-8. A surrogate pair may arrive in two
// calls (a string split across records); an unpaired surrogate becomes
// U+FFFD.
class Utf16Decoder {
public:
    explicit Utf16Decoder(std::string& out) : out_(out) {}
    ~Utf16Decoder() { finish(); }
    Utf16Decoder(const Utf16Decoder&) = delete;
    Utf16Decoder& operator=(const Utf16Decoder&) = delete;

    void addUnits(const std::uint8_t* littleEndian, std::size_t units);
    void addCompressed(const std::uint8_t* bytes, std::size_t count);
    // Flushes a dangling high surrogate.
    void finish();

private:
    void add(char16_t unit);

    std::string& out_;
    char16_t pendingHigh_ = 0;
};

// Appends the UTF-16 code units of a UTF-8 text; false when the text is not
// well-formed UTF-8 (the units appended so far stay).
bool appendUtf16(std::string_view utf8, std::u16string& units);

// UTF-16 code units of a UTF-8 text; nothing when the text is not
// well-formed UTF-8.
std::optional<std::u16string> toUtf16(std::string_view utf8);

// Upper-cases ASCII letters only; enough for sheet and stream names, which
// the formats compare without regard to case.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace chengxi::xls
