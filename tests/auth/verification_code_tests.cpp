#include "auth/verification_code.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <set>

using namespace chengxi::auth;

namespace {

constexpr int kWidth = 108;
constexpr int kHeight = 33;

} // namespace

TEST(VerificationCode, DrawingStaysInItsRanges) {
    for (const auto& [width, height] :
         {std::pair{kWidth, kHeight}, std::pair{200, 50}, std::pair{61, 12}}) {
        const int q = width / 4;
        for (std::uint32_t seed = 0; seed < 3000; ++seed) {
            const CodeDrawing drawing = drawCodeForSeed(seed * 7919u, width, height);
            ASSERT_EQ(drawing.lines.size(), 5u);
            ASSERT_EQ(drawing.glyphs.size(), 4u);
            for (const CodeLine& line : drawing.lines) {
                EXPECT_TRUE(line.x1 >= 0 && line.x1 <= width && line.x2 >= 0 && line.x2 <= width);
                EXPECT_TRUE(line.y1 >= 0 && line.y1 <= height && line.y2 >= 0 && line.y2 <= height);
            }
            std::string code;
            for (int k = 0; k < 4; ++k) {
                const CodeGlyph& glyph = drawing.glyphs[static_cast<std::size_t>(k)];
                EXPECT_GE(glyph.x, k * q);
                EXPECT_LE(glyph.x, (k + 1) * q - 15);
                EXPECT_GE(glyph.y, 2);
                EXPECT_LE(glyph.y, 10);
                code += glyph.character;
            }
            EXPECT_EQ(drawing.code, code);
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(code[0])) && code[1] >= 'A' &&
                        code[1] <= 'Z' && std::isdigit(static_cast<unsigned char>(code[2])) &&
                        code[3] >= 'a' && code[3] <= 'z')
                << code;
        }
    }
}

TEST(VerificationCode, EveryCharacterAndBothEndsOfEveryRangeOccur) {
    std::set<char> seen[4];
    int lowestX[4] = {1000, 1000, 1000, 1000};
    int highestX[4] = {-1, -1, -1, -1};
    std::set<int> ys, lineXs, lineYs;
    for (std::uint32_t seed = 0; seed < 5000; ++seed) {
        const CodeDrawing drawing = drawCodeForSeed(seed, kWidth, kHeight);
        for (std::size_t k = 0; k < 4; ++k) {
            const CodeGlyph& glyph = drawing.glyphs[k];
            seen[k].insert(glyph.character);
            lowestX[k] = std::min(lowestX[k], glyph.x);
            highestX[k] = std::max(highestX[k], glyph.x);
            ys.insert(glyph.y);
        }
        for (const CodeLine& line : drawing.lines) {
            lineXs.insert(line.x1);
            lineYs.insert(line.y2);
        }
    }
    EXPECT_EQ(seen[0].size(), 10u);
    EXPECT_EQ(seen[1].size(), 26u);
    EXPECT_EQ(seen[2].size(), 10u);
    EXPECT_EQ(seen[3].size(), 26u);
    const int q = kWidth / 4;
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(lowestX[k], k * q);
        EXPECT_EQ(highestX[k], (k + 1) * q - 15);
    }
    EXPECT_EQ(ys.size(), 9u);
    EXPECT_EQ(lineXs.size(), static_cast<std::size_t>(kWidth + 1));
    EXPECT_EQ(lineYs.size(), static_cast<std::size_t>(kHeight + 1));
}

TEST(VerificationCode, SeedsGiveDifferentCodes) {
    std::set<std::string> codes;
    for (std::uint32_t seed = 0; seed < 1000; ++seed) {
        codes.insert(drawCodeForSeed(seed, kWidth, kHeight).code);
    }
    EXPECT_GT(codes.size(), 950u);
    EXPECT_EQ(drawCodeForSeed(42, kWidth, kHeight), drawCodeForSeed(42, kWidth, kHeight));
}

TEST(VerificationCode, RangeRule) {
    CodeRandom random(7);
    CodeRandom copy = random;
    // Equal bounds give the value without using up a number.
    EXPECT_EQ(drawInRange(random, 5, 5), 5);
    EXPECT_EQ(drawInRange(random, -4, -1), 0);
    EXPECT_EQ(random, copy);
    // Swapped and negative bounds draw like the ordered, clamped ones.
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(drawInRange(random, 10, 3), drawInRange(copy, 3, 10));
        EXPECT_EQ(drawInRange(random, -5, 4), drawInRange(copy, 0, 4));
        EXPECT_EQ(drawInRange(random, 6, -2), drawInRange(copy, 0, 6));
    }
    // The result is a + (r mod (b - a + 1)) for the next number r.
    const std::uint32_t r = copy();
    EXPECT_EQ(drawInRange(random, 100, 106), 100 + static_cast<int>(r % 7));
}

TEST(VerificationCode, NarrowPanelsStillGivePositions) {
    for (std::uint32_t seed = 0; seed < 500; ++seed) {
        // W = 40: Q = 10, so [0, -5] becomes [0, 0] and [10, 5] is swapped to [5, 10].
        const CodeDrawing narrow = drawCodeForSeed(seed, 40, kHeight);
        EXPECT_EQ(narrow.glyphs[0].x, 0);
        for (int k = 1; k < 4; ++k) {
            const int x = narrow.glyphs[static_cast<std::size_t>(k)].x;
            EXPECT_TRUE(x >= 10 * k - 5 && x <= 10 * k) << k << ": " << x;
        }
        // W = 60: every range is a single position.
        const CodeDrawing exact = drawCodeForSeed(seed, 60, kHeight);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(exact.glyphs[static_cast<std::size_t>(k)].x, 15 * k);
        }
        // An empty panel (and a nonsense negative size) draws everything at 0.
        for (const int size : {0, -30}) {
            const CodeDrawing empty = drawCodeForSeed(seed, size, size);
            for (const CodeLine& line : empty.lines) {
                EXPECT_EQ(line, CodeLine{});
            }
            for (const CodeGlyph& glyph : empty.glyphs) {
                EXPECT_EQ(glyph.x, 0);
                EXPECT_GE(glyph.y, 2);
            }
            EXPECT_EQ(empty.code.size(), 4u);
        }
    }
}

TEST(VerificationCode, SeedOffsetKeepsSuccessiveSeedsApart) {
    std::uint32_t offset = 0;
    EXPECT_EQ(drawVerificationCode(1000, offset, kWidth, kHeight),
              drawCodeForSeed(1000, kWidth, kHeight));
    const std::uint32_t first = 100 + (1000u & 255u);
    EXPECT_EQ(offset, first);
    // The same tick count again gives another seed.
    EXPECT_EQ(drawVerificationCode(1000, offset, kWidth, kHeight),
              drawCodeForSeed(1000 + first, kWidth, kHeight));
    EXPECT_EQ(offset, first + 100 + ((1000 + first) & 255u));
}

TEST(VerificationCode, SeedAndOffsetWrapAround) {
    std::uint32_t offset = 0xFFFFFFF0u;
    // 0x20 + 0xFFFFFFF0 wraps to the seed 0x10.
    EXPECT_EQ(drawVerificationCode(0x20, offset, kWidth, kHeight),
              drawCodeForSeed(0x10, kWidth, kHeight));
    // The offset grows by 100 + 0x10 = 0x74 and wraps to 0x64.
    EXPECT_EQ(offset, 0x64u);
}
