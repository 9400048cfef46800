// The display font of the panel cells: 256 glyphs of 5 x 7 dots laid out for the
// Windows-1251 code page, with five glyphs of our own at 0xBB..0xBF.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vr410 {

constexpr int GlyphColumns = 5;
constexpr int GlyphRows = 7;
constexpr int GlyphBytes = GlyphColumns * GlyphRows;
constexpr int GlyphCount = 256;

// One byte per dot, 1 = lit: the dot in row r (0..6, top down) and column c (0..4, left to
// right) of code k is byte k * 35 + r * 5 + c.
extern const std::array<uint8_t, GlyphCount * GlyphBytes> Rus5x7;

// True when the dot at row r, column c of code is lit; false outside the glyph.
bool Rus5x7Lit(uint8_t code, int row, int column);

} // namespace vr410
