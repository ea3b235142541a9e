#include "auth/settings_file.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <random>
#include <string>
#include <utility>
#include <vector>

using namespace chengxi::auth;

namespace {

std::string pass(std::string_view content) {
    return findSettingsValue(content, "login", "pass");
}

std::string withPass(std::string_view content, std::string_view value) {
    return withSettingsValue(content, "login", "pass", value).value();
}

} // namespace

TEST(SettingsRead, DocumentedCases) {
    EXPECT_EQ(pass("[login]\r\npass=abc\r\n"), "abc");
    EXPECT_EQ(pass("[login]\npass=abc\n"), "abc");
    EXPECT_EQ(pass("[LOGIN]\r\nPASS=abc\r\n"), "abc");
    EXPECT_EQ(pass("[login]\r\npass=\"abc\"\r\n"), "abc");
    EXPECT_EQ(pass("[login]\r\npass=\"abc'\r\n"), "\"abc'");
    EXPECT_EQ(pass("[login]\r\npass=a=b\r\n"), "a=b");
    EXPECT_EQ(pass("[login]\r\n;pass=old\r\npass=new\r\n"), "new");
    EXPECT_EQ(pass("[login]\r\npass=ab\ncd\r\n"), "ab");
    EXPECT_EQ(pass("[other]\r\npass=abc\r\n"), "");
    EXPECT_EQ(pass(""), "");
}

TEST(SettingsRead, LineEnds) {
    EXPECT_EQ(pass("[login]\rpass=abc\r"), "abc");
    EXPECT_EQ(pass("[login]\r\rpass=abc"), "abc");
    EXPECT_EQ(pass("x=1\r[login]\n\r\npass=abc\rnext=2"), "abc");
    EXPECT_EQ(pass("[login]\r\npass=ab\rcd\r\n"), "ab");
}

TEST(SettingsRead, BlanksAroundNamesAndValues) {
    EXPECT_EQ(pass(" \t[ \vlogin\t ] \r\n \tpass\v = \t abc \t\v\r\n"), "abc");
    EXPECT_EQ(pass("[login]\r\npass= a \t b \r\n"), "a \t b");
    EXPECT_EQ(pass("[login]\r\npass=\f\r\n"), "\f"); // form feed is not a blank
    EXPECT_EQ(pass("[log in]\r\npass=abc\r\n"), "");
}

TEST(SettingsRead, SectionHeaders) {
    EXPECT_EQ(pass("[login] and the rest\r\npass=abc\r\n"), "abc");
    EXPECT_EQ(pass("[login\r\npass=abc\r\n"), "abc");
    EXPECT_EQ(pass("[ login \r\npass=abc\r\n"), "abc");
    EXPECT_EQ(findSettingsValue("[log]in]\r\npass=abc\r\n", "log", "pass"), "abc");
    EXPECT_EQ(pass("[log]in]\r\npass=abc\r\n"), "");
    // A header ends the section before it.
    EXPECT_EQ(pass("[login]\r\n[other]\r\npass=abc\r\n"), "");
}

TEST(SettingsRead, NamesIgnoreAsciiCaseValuesKeepIt) {
    EXPECT_EQ(pass("[LoGiN]\r\npAsS=AbC\r\n"), "AbC");
    EXPECT_EQ(findSettingsValue("[login]\r\npass=abc\r\n", "LOGIN", "Pass"), "abc");
    // Bytes above ASCII are compared as they are.
    EXPECT_EQ(findSettingsValue("[\xC3\xDC]\r\nk=v\r\n", "\xC3\xDC", "k"), "v");
    EXPECT_EQ(findSettingsValue("[\xE3\xDC]\r\nk=v\r\n", "\xC3\xDC", "k"), "");
}

TEST(SettingsRead, OnlySpacesAreStrippedFromRequestedNames) {
    const std::string content = "[login]\r\npass=abc\r\n";
    EXPECT_EQ(findSettingsValue(content, "  login ", " pass  "), "abc");
    EXPECT_EQ(findSettingsValue(content, "\tlogin", "pass"), "");
    EXPECT_EQ(findSettingsValue(content, "login", "pass\v"), "");
}

TEST(SettingsRead, CommentsAndOrdinaryText) {
    EXPECT_EQ(pass("[login]\r\n \t;pass=old\r\npass=new\r\n"), "new");
    EXPECT_EQ(pass("[login]\r\n#pass=old\r\npass=new\r\n"), "new");
    EXPECT_EQ(findSettingsValue("[login]\r\n#pass=old\r\n", "login", "#pass"), "old");
    EXPECT_EQ(pass("[login]\r\npass=abc ; not a comment\r\n"), "abc ; not a comment");
    EXPECT_EQ(pass(";[login]\r\npass=abc\r\n"), "");
}

TEST(SettingsRead, KeyLines) {
    EXPECT_EQ(pass("[login]\r\npass = = x\r\n"), "= x");
    EXPECT_EQ(pass("[login]\r\npass=\r\n"), "");
    EXPECT_EQ(pass("[login]\r\npass\r\n"), "");
    // A line without "=" is no entry, so it hides nothing after it.
    EXPECT_EQ(pass("[login]\r\npass\r\npass=abc\r\n"), "abc");
    EXPECT_EQ(findSettingsValue("[login]\r\n=abc\r\n", "login", " "), "");
    EXPECT_EQ(findSettingsValue("[]\r\npass=abc\r\n", "", "pass"), "");
}

TEST(SettingsRead, LinesBeforeTheFirstSectionHoldNoValue) {
    EXPECT_EQ(pass("pass=abc\r\n[login]\r\n"), "");
    EXPECT_EQ(pass("pass=abc\r\n[login]\r\npass=def\r\n"), "def");
}

TEST(SettingsRead, FirstSectionAndFirstKeyWin) {
    EXPECT_EQ(pass("[login]\r\nuser=x\r\n[login]\r\npass=abc\r\n"), "");
    EXPECT_EQ(pass("[login]\r\npass=first\r\nPass=second\r\n"), "first");
    EXPECT_EQ(pass("[other]\r\n[Login]\r\npass=abc\r\n[login]\r\npass=def\r\n"), "abc");
}

TEST(SettingsRead, OuterQuotes) {
    EXPECT_EQ(pass("[login]\r\npass='abc'\r\n"), "abc");
    EXPECT_EQ(pass("[login]\r\npass=  \" a b \"  \r\n"), " a b ");
    EXPECT_EQ(pass("[login]\r\npass=\"'abc'\"\r\n"), "'abc'");
    EXPECT_EQ(pass("[login]\r\npass=\"\"\r\n"), "");
    EXPECT_EQ(pass("[login]\r\npass=\"\r\n"), "\"");
    EXPECT_EQ(pass("[login]\r\npass=\"abc\r\n"), "\"abc");
    EXPECT_EQ(pass("[login]\r\npass=abc'\r\n"), "abc'");
    EXPECT_EQ(pass("[login]\r\npass=a\"b\"\r\n"), "a\"b\"");
}

TEST(SettingsRead, ValueIsCutToTheBuffer) {
    for (const std::size_t length : {std::size_t{10239}, std::size_t{10240}, std::size_t{20000}}) {
        const std::string value(length, 'v');
        EXPECT_EQ(pass("[login]\r\npass=" + value + "\r\n"), value.substr(0, 10239)) << length;
    }
    // The quotes go before the value is cut.
    const std::string quoted = "\"" + std::string(10239, 'q') + "\"";
    EXPECT_EQ(pass("[login]\r\npass=" + quoted + "\r\n"), std::string(10239, 'q'));
}

TEST(SettingsRead, ZeroByteEndsTheValue) {
    EXPECT_EQ(pass(std::string("[login]\r\npass=ab\0cd\r\n", 21)), "ab");
}

TEST(SettingsWrite, IntoEmptyContentMakesTheSectionAndKey) {
    EXPECT_EQ(withPass("", "abc"), "[login]\r\npass=abc\r\n");
    EXPECT_EQ(withPass("", ""), "[login]\r\npass=\r\n");
}

TEST(SettingsWrite, ExistingKeyIsReplacedInPlace) {
    const std::string before = "; written by hand\n"
                               "[other]\r\n"
                               "pass=keep\r\n"
                               "\r\n"
                               "[LOGIN]\n"
                               "user = 图书管理员 \n"
                               "  PASS = old value \r\n"
                               "  ; note\r"
                               "pass=second\r\n"
                               "[login]\r\n"
                               "pass=third";
    const std::string after = "; written by hand\n"
                              "[other]\r\n"
                              "pass=keep\r\n"
                              "\r\n"
                              "[LOGIN]\n"
                              "user = 图书管理员 \n"
                              "PASS=new\r\n"
                              "  ; note\r"
                              "pass=second\r\n"
                              "[login]\r\n"
                              "pass=third";
    EXPECT_EQ(withPass(before, "new"), after);
    EXPECT_EQ(pass(after), "new");
}

TEST(SettingsWrite, ReplacedLineKeepsItsOwnLineEnd) {
    EXPECT_EQ(withPass("[login]\npass=old\nuser=x\n", "new"), "[login]\npass=new\nuser=x\n");
    EXPECT_EQ(withPass("[login]\rpass=old\r", "new"), "[login]\rpass=new\r");
    EXPECT_EQ(withPass("[login]\r\npass=old", "new"), "[login]\r\npass=new");
    // A value that held a line break left a line behind; it stays.
    EXPECT_EQ(withPass("[login]\r\npass=ab\ncd\r\n", "new"), "[login]\r\npass=new\ncd\r\n");
}

TEST(SettingsWrite, NewKeyGoesAfterTheSectionsLastLine) {
    EXPECT_EQ(withPass("[login]\r\nuser=x\r\n\r\n[other]\r\na=1\r\n", "v"),
              "[login]\r\nuser=x\r\npass=v\r\n\r\n[other]\r\na=1\r\n");
    EXPECT_EQ(withPass("[login]\n\n \t\n[other]\n", "v"), "[login]\npass=v\r\n\n \t\n[other]\n");
    EXPECT_EQ(withPass("[login]\nuser=x\n;end\n", "v"), "[login]\nuser=x\n;end\npass=v\r\n");
    EXPECT_EQ(withPass("[login]", "v"), "[login]\r\npass=v\r\n");
    EXPECT_EQ(withPass("[login]\r\nuser=x", "v"), "[login]\r\nuser=x\r\npass=v\r\n");
    // Only the first section of the name takes it.
    EXPECT_EQ(withPass("[login]\r\na=1\r\n[LOGIN]\r\npass=old\r\n", "v"),
              "[login]\r\na=1\r\npass=v\r\n[LOGIN]\r\npass=old\r\n");
}

TEST(SettingsWrite, NewSectionGoesAtTheEnd) {
    EXPECT_EQ(withPass("[other]\r\na=1\r\n", "v"), "[other]\r\na=1\r\n[login]\r\npass=v\r\n");
    EXPECT_EQ(withPass("[other]\na=1\n\n", "v"), "[other]\na=1\n\n[login]\r\npass=v\r\n");
    EXPECT_EQ(withPass("[other]\r\na=1", "v"), "[other]\r\na=1\r\n[login]\r\npass=v\r\n");
    EXPECT_EQ(withPass("pass=loose\r\n", "v"), "pass=loose\r\n[login]\r\npass=v\r\n");
    EXPECT_EQ(withSettingsValue("", "  login ", " pass ", "v").value(), "[login]\r\npass=v\r\n");
}

TEST(SettingsWrite, ValueGoesInByteForByte) {
    EXPECT_EQ(withPass("", " \"a\tb\" "), "[login]\r\npass= \"a\tb\" \r\n");
    EXPECT_EQ(withPass("", "ab\ncd"), "[login]\r\npass=ab\ncd\r\n");
    EXPECT_EQ(withPass("[login]\r\npass=old\r\n", "a\rb"), "[login]\r\npass=a\rb\r\n");
    const std::string high = "\x80\xFF\x01\x7F";
    EXPECT_EQ(withPass("", high), "[login]\r\npass=" + high + "\r\n");
    EXPECT_EQ(withPass("", std::string("ab\0cd", 5)), "[login]\r\npass=ab\r\n");
    EXPECT_EQ(withPass("[login]\r\npass=old\r\n", ""), "[login]\r\npass=\r\n");
}

TEST(SettingsWrite, NamesThatWouldNotReadBackAreRefused) {
    for (const auto& [section, key] : std::initializer_list<std::pair<std::string, std::string>>{
             {"", "pass"},
             {"login", " "},
             {"log]in", "pass"},
             {"login", "pa=ss"},
             {"login", ";pass"},
             {"login", "[pass"},
             {"\tlogin", "pass"},
             {"login", "pass\v"},
             {"log\nin", "pass"},
             {"login", "pa\rss"},
             {"login", std::string("pa\0ss", 5)}}) {
        EXPECT_FALSE(withSettingsValue("[login]\r\npass=old\r\n", section, key, "v"))
            << section << key;
    }
}

TEST(SettingsWrite, EveryValueReadsBackAsValueAsReadBackSays) {
    const std::string starts[] = {
        "",
        "[login]\r\npass=old\r\n",
        "[other]\nx=1\n",
        "[login]\r\nuser=x\r\n\r\n[other]\r\npass=y\r\n",
        "[login]\rpass=\"q\"\r[login]\rpass=no\r",
    };
    std::mt19937 random(20240611);
    std::vector<std::string> values = {"",    "abc",    " padded ", "\"quoted\"",
                                       "'x'", "a\r\nb", "\n",       "\xF8\xFB\xF1\x0A\x89\xDC"};
    for (int i = 0; i < 300; ++i) {
        std::string value(random() % 24, ' ');
        for (char& c : value) {
            c = static_cast<char>(1 + random() % 255);
        }
        values.push_back(value);
    }
    for (const std::string& start : starts) {
        for (const std::string& value : values) {
            const std::string written = withPass(start, value);
            EXPECT_EQ(pass(written), valueAsReadBack(value));
            // Writing again over what was written changes only the key line.
            EXPECT_EQ(pass(withPass(written, "again")), "again");
        }
    }
}

TEST(SettingsValueAsReadBack, Rules) {
    EXPECT_EQ(valueAsReadBack("abc"), "abc");
    EXPECT_EQ(valueAsReadBack(std::string("ab\0\ncd", 6)), "ab");
    EXPECT_EQ(valueAsReadBack("ab\ncd\0"), "ab");
    EXPECT_EQ(valueAsReadBack(" \t\vab c\v\t "), "ab c");
    EXPECT_EQ(valueAsReadBack(" 'ab' "), "ab");
    EXPECT_EQ(valueAsReadBack("\"ab\"\r\n"), "ab");
    EXPECT_EQ(valueAsReadBack("\"ab'"), "\"ab'");
    EXPECT_EQ(valueAsReadBack(std::string(12000, 'x')), std::string(10239, 'x'));
}
