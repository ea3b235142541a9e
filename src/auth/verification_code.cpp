#include "auth/verification_code.h"

#include <algorithm>

namespace chengxi::auth {

int drawInRange(CodeRandom& random, int a, int b) {
    a = std::max(a, 0);
    b = std::max(b, 0);
    if (a > b) {
        std::swap(a, b);
    }
    if (a == b) {
        return a;
    }
    const auto span = static_cast<std::uint64_t>(b) - static_cast<std::uint64_t>(a) + 1;
    return a + static_cast<int>(static_cast<std::uint64_t>(random()) % span);
}

CodeDrawing drawCodeForSeed(std::uint32_t seed, int width, int height) {
    // A negative size draws like an empty panel (every bound clamps to 0);
    // clamping first keeps the bound arithmetic from overflowing.
    width = std::max(width, 0);
    height = std::max(height, 0);
    CodeRandom random(seed);
    CodeDrawing drawing;

    for (int i = 0; i < 5; ++i) {
        CodeLine line;
        line.x1 = drawInRange(random, 0, width);
        line.y1 = drawInRange(random, 0, height);
        line.x2 = drawInRange(random, 0, width);
        line.y2 = drawInRange(random, 0, height);
        drawing.lines.push_back(line);
    }

    struct CharacterRange {
        char first, last;
    };
    static constexpr CharacterRange ranges[] = {{'0', '9'}, {'A', 'Z'}, {'0', '9'}, {'a', 'z'}};
    const int quarter = width / 4;
    for (int k = 0; k < 4; ++k) {
        CodeGlyph glyph;
        glyph.character = static_cast<char>(drawInRange(random, ranges[k].first, ranges[k].last));
        glyph.x = drawInRange(random, k * quarter, (k + 1) * quarter - 15);
        glyph.y = drawInRange(random, 2, 10);
        drawing.glyphs.push_back(glyph);
        drawing.code += glyph.character;
    }
    return drawing;
}

CodeDrawing drawVerificationCode(std::uint32_t tickCount, std::uint32_t& seedOffset, int width,
                                 int height) {
    const std::uint32_t seed = tickCount + seedOffset;
    seedOffset += 100 + (seed & 255u);
    return drawCodeForSeed(seed, width, height);
}

} // namespace chengxi::auth
