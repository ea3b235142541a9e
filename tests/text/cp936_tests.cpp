#include "text/cp936.h"
#include "text/utf8.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <optional>

using namespace chengxi::text;

TEST(Cp936, EncodesChineseAsGbkBytes) {
    const Cp936Bytes encoded = toCp936("图书数据 A1");
    ASSERT_TRUE(encoded.ok());
    EXPECT_EQ(encoded.bytes, "\xCD\xBC\xCA\xE9\xCA\xFD\xBE\xDD A1");
    EXPECT_EQ(fromCp936(encoded.bytes), "图书数据 A1");
}

TEST(Cp936, FullWidthPunctuationAndEuroRoundTrip) {
    for (const char* text : {"（第一卷）", "｜", "€", "：，。？", "借阅者（班别－姓名）"}) {
        const Cp936Bytes encoded = toCp936(text);
        ASSERT_TRUE(encoded.ok()) << text;
        EXPECT_EQ(fromCp936(encoded.bytes), text);
    }
    EXPECT_EQ(toCp936("€").bytes, "\x80");
}

TEST(Cp936, UnencodableCharacterIsReportedNeverReplaced) {
    const Cp936Bytes encoded = toCp936("书名😀尾");
    EXPECT_FALSE(encoded.ok());
    EXPECT_EQ(encoded.unencodable, "😀");
    EXPECT_EQ(encoded.bytes.find('?'), std::string::npos);
    EXPECT_FALSE(isCp936Encodable("한국어"));
    EXPECT_TRUE(isCp936Encodable("plain ascii"));
}

TEST(Cp936, MalformedUtf8IsUnencodable) {
    const Cp936Bytes encoded = toCp936("ab\xFF"
                                       "cd");
    EXPECT_FALSE(encoded.ok());
    EXPECT_EQ(encoded.unencodable, "\xFF");
    // A surrogate and an overlong form look like three-byte characters.
    EXPECT_EQ(toCp936("图\xED\xA0\x80").unencodable, "\xED");
    EXPECT_EQ(toCp936("图\xE0\x80\x80").unencodable, "\xE0");
    EXPECT_EQ(toCp936("图\xE5\x9B").unencodable, "\xE5");
}

namespace {

std::string escapeOf(unsigned char byte) {
    std::string utf8;
    appendUtf8(utf8, byteEscape(byte));
    return utf8;
}

} // namespace

TEST(Cp936, BytesThatAreNotGbkDecodeToEscapesAndEncodeBackUnchanged) {
    // A lone lead byte at the end, 0xFF, a lead byte before a byte that is
    // no trail byte, and a pair the code page leaves undefined.
    for (const std::string bytes : {"A\xCD", "\xFF\xCD\xBC",
                                    "\xCD"
                                    "0",
                                    "\xAA\xA1"}) {
        const std::string decoded = fromCp936(bytes);
        EXPECT_EQ(decoded.find("\xEF\xBF\xBD"), std::string::npos);
        const Cp936Bytes encoded = toCp936(decoded);
        ASSERT_TRUE(encoded.ok());
        EXPECT_EQ(encoded.bytes, bytes);
    }
    EXPECT_EQ(fromCp936("A\xCD"), "A" + escapeOf(0xCD));
    EXPECT_EQ(fromCp936("\xFF\xCD\xBC"), escapeOf(0xFF) + "图");
    EXPECT_EQ(fromCp936("\xCD"
                        "0"),
              escapeOf(0xCD) + "0");
    // U+FFFD itself is still no code page 936 character.
    EXPECT_FALSE(isCp936Encodable("\xEF\xBF\xBD"));
}

TEST(Cp936, OnlyALoneLeadByteAtTheEndWouldJoinABarAfterIt) {
    EXPECT_TRUE(endsWithLoneLeadByte(fromCp936("红楼\xCD")));
    EXPECT_TRUE(endsWithLoneLeadByte(escapeOf(0x81)));
    EXPECT_FALSE(endsWithLoneLeadByte(fromCp936("红楼\xFF")));
    EXPECT_FALSE(endsWithLoneLeadByte(fromCp936("红\xCD"
                                                "0")));
    EXPECT_FALSE(endsWithLoneLeadByte("红楼梦"));
    EXPECT_FALSE(endsWithLoneLeadByte(""));
}

TEST(Cp936, TrailByteEqualToBackslashStaysInsideItsCharacter) {
    // 表 is B1 ED; 刷 is CB A2; the GBK pair 95 5C has a backslash as trail byte.
    const std::string bytes = "\x95\x5C";
    const std::string decoded = fromCp936(bytes);
    EXPECT_EQ(decoded.find('\\'), std::string::npos);
    EXPECT_EQ(toCp936(decoded).bytes, bytes);
}

TEST(Utf8, DecodesAndRejectsMalformedSequences) {
    EXPECT_TRUE(isValidUtf8("图书 ok €"));
    EXPECT_TRUE(isValidUtf8("\xEF\xBF\xBD"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));     // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")); // surrogate
    EXPECT_FALSE(isValidUtf8("\xE5\x9B"));     // truncated
    std::string out;
    appendUtf8(out, 0x1F600);
    std::size_t pos = 0;
    EXPECT_EQ(decodeUtf8(out, pos), char32_t{0x1F600});
    EXPECT_EQ(pos, 4u);
}

#ifndef _WIN32
#include <iconv.h>
#include <random>

namespace {

// What iconv makes of a whole text in one call: the converted bytes, or
// nothing when it refuses any part of it.
std::optional<std::string> iconvWhole(iconv_t converter, std::string_view in) {
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    std::size_t inLeft = in.size();
    char buffer[256];
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0) {
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(outPtr - buffer));
}

// GBK bytes decoded by iconv alone, the escape of each byte it refuses.
std::string iconvDecode(iconv_t converter, std::string_view bytes) {
    std::string out;
    while (!bytes.empty()) {
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char buffer[256];
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (inLeft == 0) {
            break;
        }
        bytes.remove_prefix(bytes.size() - inLeft);
        appendUtf8(out, byteEscape(static_cast<unsigned char>(bytes.front())));
        bytes.remove_prefix(1);
    }
    return out;
}

} // namespace

// The conversion goes through tables filled from iconv; every character of
// the basic plane, every byte pair and random byte strings must come out as
// iconv itself converts them, byte escapes aside, and every byte string must
// come back from a round trip unchanged.
TEST(Cp936, EveryCharacterAndBytePairConvertsAsIconvDoes) {
    iconv_t encoder = iconv_open("CP936", "UTF-8");
    iconv_t decoder = iconv_open("UTF-8", "CP936");
    ASSERT_NE(encoder, reinterpret_cast<iconv_t>(-1));
    ASSERT_NE(decoder, reinterpret_cast<iconv_t>(-1));
    for (char32_t code = 1; code < 0x10000; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) {
            continue;
        }
        std::string text = "a";
        appendUtf8(text, code);
        const std::optional<std::string> expected =
            isByteEscape(code) ? "a" + std::string(1, static_cast<char>(escapedByte(code)))
                               : iconvWhole(encoder, text);
        const Cp936Bytes encoded = toCp936(text);
        ASSERT_EQ(encoded.ok(), expected.has_value())
            << std::hex << static_cast<std::uint32_t>(code);
        if (expected) {
            ASSERT_EQ(encoded.bytes, *expected) << std::hex << static_cast<std::uint32_t>(code);
        } else {
            ASSERT_EQ(encoded.unencodable, text.substr(1))
                << std::hex << static_cast<std::uint32_t>(code);
        }
    }
    for (int lead = 0x80; lead < 0x100; ++lead) {
        for (int trail = 0; trail < 0x100; ++trail) {
            const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::string decoded = fromCp936(pair);
            ASSERT_EQ(decoded, iconvDecode(decoder, pair)) << std::hex << lead << trail;
            ASSERT_EQ(toCp936(decoded).bytes, pair) << std::hex << lead << trail;
        }
    }
    std::mt19937 random(936);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(1 + random() % 9, '\0');
        for (char& byte : bytes) {
            byte = static_cast<char>(random() % 3 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
        }
        const std::string decoded = fromCp936(bytes);
        ASSERT_EQ(decoded, iconvDecode(decoder, bytes));
        ASSERT_EQ(toCp936(decoded).bytes, bytes);
    }
    iconv_close(encoder);
    iconv_close(decoder);
}
#endif
