#include "text/cp936.h"
#include "text/utf8.h"

#include <gtest/gtest.h>

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
}

TEST(Cp936, InvalidGbkBytesBecomeReplacementCharacters) {
    // A lone lead byte at the end and an undefined pair in the middle.
    EXPECT_EQ(fromCp936("A\xCD"), "A\xEF\xBF\xBD");
    const std::string decoded = fromCp936("\xFF\xCD\xBC");
    EXPECT_EQ(decoded, "\xEF\xBF\xBD图");
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
