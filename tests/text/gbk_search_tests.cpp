#include "text/cp936.h"
#include "text/gbk_search.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using chengxi::text::containsGbkText;
using chengxi::text::gbkCharacterLength;

std::string gbk(const std::string& utf8) {
    const chengxi::text::Cp936Bytes encoded = chengxi::text::toCp936(utf8);
    EXPECT_TRUE(encoded.ok()) << utf8;
    return encoded.bytes;
}

// Both texts given as UTF-8, matched as the database holds them.
bool contains(const std::string& text, const std::string& part) {
    return containsGbkText(gbk(text), gbk(part));
}

TEST(GbkSearch, FindsAPartAnywhereInTheText) {
    EXPECT_TRUE(contains("红楼梦", "红楼梦"));
    EXPECT_TRUE(contains("新编红楼梦评注", "红楼梦"));
    EXPECT_TRUE(contains("红楼梦评注", "红楼"));
    EXPECT_TRUE(contains("脂评红楼梦", "楼梦"));
    EXPECT_TRUE(contains("C++程序设计", "++"));
    EXPECT_FALSE(contains("红楼", "红楼梦"));
    EXPECT_FALSE(contains("红梦楼", "红楼梦"));
    EXPECT_FALSE(contains("", "红"));
}

TEST(GbkSearch, AnEmptyPartIsInEveryText) {
    EXPECT_TRUE(contains("", ""));
    EXPECT_TRUE(contains("红楼梦", ""));
}

TEST(GbkSearch, RetriesAfterAPartialMatch) {
    EXPECT_TRUE(contains("aab", "ab"));
    EXPECT_TRUE(contains("红红楼", "红楼"));
    EXPECT_TRUE(contains("红楼红楼梦", "红楼梦"));
    EXPECT_TRUE(contains(std::string(200, 'a') + "b", "aab"));
}

// "梦年" is C3 CE C4 EA: its middle bytes CE C4 are "文". "中楼" is D6 D0 C2 A5,
// whose middle D0 C2 is "新".
TEST(GbkSearch, NeverMatchesAcrossTwoCharacters) {
    ASSERT_EQ(gbk("梦年").substr(1, 2), gbk("文"));
    EXPECT_FALSE(contains("红楼梦年谱", "文"));
    EXPECT_FALSE(contains("中楼", "新"));
    EXPECT_TRUE(contains("中楼新", "新"));
    // A part that starts on a trail byte and runs on.
    EXPECT_FALSE(containsGbkText(gbk("梦年谱"), gbk("文") + "\xea"));
}

// 丄 is 81 41 and 乤 is 81 61: their trail bytes read as "A" and "a".
TEST(GbkSearch, TrailBytesAreNeitherLettersNorFolded) {
    ASSERT_EQ(gbk("丄"), "\x81\x41");
    ASSERT_EQ(gbk("乤"), "\x81\x61");
    EXPECT_FALSE(contains("丄", "A"));
    EXPECT_FALSE(contains("丄", "a"));
    EXPECT_FALSE(contains("乤", "a"));
    EXPECT_FALSE(contains("丄", "乤"));
    EXPECT_FALSE(contains("乤", "丄"));
    EXPECT_TRUE(contains("丄A", "a"));
    EXPECT_TRUE(contains("x丄y", "丄Y"));
}

TEST(GbkSearch, AsciiLettersIgnoreCaseAndNothingElseDoes) {
    EXPECT_TRUE(contains("Harry Potter", "harry"));
    EXPECT_TRUE(contains("harry potter", "POTTER"));
    EXPECT_TRUE(contains("SQL入门", "sql入门"));
    // Full-width letters are double-byte characters, compared as they are.
    EXPECT_FALSE(contains("ＳＱＬ", "ｓｑｌ"));
    EXPECT_TRUE(contains("ＳＱＬ", "ＳＱＬ"));
    // Only letters fold: "@" (40) and "`" (60) differ by the same bit.
    EXPECT_FALSE(contains("@", "`"));
    EXPECT_FALSE(contains("[", "{"));
}

TEST(GbkSearch, WildcardCharactersAreLiteral) {
    EXPECT_TRUE(contains("百分之100%纯", "100%"));
    EXPECT_FALSE(contains("红楼梦", "%"));
    EXPECT_FALSE(contains("红楼梦", "红%梦"));
    EXPECT_FALSE(contains("红楼梦", "红_梦"));
    EXPECT_TRUE(contains("a_b", "_"));
    EXPECT_FALSE(contains("ab", "_"));
    EXPECT_FALSE(contains("abc", "a*c"));
    EXPECT_FALSE(contains("abc", "a?c"));
    EXPECT_TRUE(contains("O'Brien的书", "o'brien"));
}

TEST(GbkSearch, SingleBytesAboveAsciiStandAlone) {
    // 80 (the euro sign) and FF are single bytes, never lead bytes.
    EXPECT_TRUE(containsGbkText("\x80\x41", "A"));
    EXPECT_TRUE(containsGbkText("x\xff\x41", "a"));
    // A lead byte without a trail byte after it stands alone.
    EXPECT_TRUE(containsGbkText("\x81\x30", "0"));
    EXPECT_TRUE(containsGbkText("\x81\x7f", "\x7f"));
    EXPECT_FALSE(containsGbkText("\x81\x41", "\x81"));
    EXPECT_TRUE(containsGbkText("ab\x81", "\x81"));
    EXPECT_FALSE(containsGbkText("ab\x81", "b\x81\x41"));
}

TEST(GbkSearch, CharacterLengths) {
    const std::string text = "a\x81\x41\x81\x30\xff\x80\xfe";
    EXPECT_EQ(gbkCharacterLength(text, 0), 1u);
    EXPECT_EQ(gbkCharacterLength(text, 1), 2u);
    EXPECT_EQ(gbkCharacterLength(text, 3), 1u); // 81 before 30
    EXPECT_EQ(gbkCharacterLength(text, 4), 1u);
    EXPECT_EQ(gbkCharacterLength(text, 5), 1u); // FF
    EXPECT_EQ(gbkCharacterLength(text, 6), 1u); // 80
    EXPECT_EQ(gbkCharacterLength(text, 7), 1u); // a lead byte at the end
    EXPECT_EQ(gbkCharacterLength(text, 8), 0u);
}

} // namespace
