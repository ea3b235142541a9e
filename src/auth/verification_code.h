#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

// The verification code of the login window: what is drawn on the panel, as
// plain data for the front end to paint with the panel's pen and font.
namespace chengxi::auth {

struct CodeLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    friend bool operator==(const CodeLine&, const CodeLine&) = default;
};

// One character of the code, written with its top left corner at (x, y).
struct CodeGlyph {
    char character = '0';
    int x = 0, y = 0;
    friend bool operator==(const CodeGlyph&, const CodeGlyph&) = default;
};

// Five noise lines, drawn first, then the four characters; `code` is the
// characters in order: digit, capital letter, digit, small letter.
struct CodeDrawing {
    std::vector<CodeLine> lines;
    std::vector<CodeGlyph> glyphs;
    std::string code;
    friend bool operator==(const CodeDrawing&, const CodeDrawing&) = default;
};

// The generator behind the code: std::mt19937 yields the same sequence for a
// seed on every platform, and its output is used directly.
using CodeRandom = std::mt19937;

// A number in [a, b], both included: a negative bound counts as 0, the bounds
// are swapped when a > b, equal bounds give that value without drawing, and
// otherwise the result is a + (r mod (b - a + 1)) for the next output r.
int drawInRange(CodeRandom& random, int a, int b);

// The drawing for a seed on a panel `width` by `height` pixels: for each of
// the five lines x1, y1, x2, y2 in [0, width] or [0, height]; then with
// Q = width / 4, for each character its code, then x in [kQ, (k+1)Q - 15]
// for the k-th character (from 0), then y in [2, 10].
CodeDrawing drawCodeForSeed(std::uint32_t seed, int width, int height);

// Draws a new code for the system's millisecond tick count. Successive seeds
// are kept apart by `seedOffset` (held by the caller for the life of the
// program, starting at 0): the seed is the tick count plus the offset, then
// the offset grows by 100 + (seed AND 255), both with 32-bit wrap-around.
CodeDrawing drawVerificationCode(std::uint32_t tickCount, std::uint32_t& seedOffset, int width,
                                 int height);

} // namespace chengxi::auth
