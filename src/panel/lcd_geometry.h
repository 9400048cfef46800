// Enumerations and pixel arithmetic of the dot-matrix cell TLCDScreen, kept apart from the
// widget so that the geometry can be checked without painting.
#pragma once

#include <cstdint>

namespace vr410 {

enum class TDotMatrix : uint8_t {
    mat5x7,
    mat5x8,
    mat7x9,
    mat9x12,
    Hitachi,
    Hitachi2,
    dos5x7,
    Rus5x7
};

// clang-format off
enum class TPixelSize : uint8_t {
    pix1x1, pix2x2, pix3x3, pix4x4, pix5x5, pix6x6, pix7x7, pix8x8,
    pix9x9, pix10x10, pix11x11, pix12x12, pix13x13, pix14x14, pix15x15, pix16x16,
    pixCustom,
};
// clang-format on

enum class TPixelShape : uint8_t { psSquare, psShaped, psRound };
enum class TLCDBorder : uint8_t { bsRaised, bsLowered, bsSingle, bsNone };
enum class TScrollMode : uint8_t { smIndependant, smDependant };
enum class TScrollDirection : uint8_t { sdRighttoLeft, sdLefttoRight, sdUptoDown, sdDowntoUp };

// Dots per glyph row (pix_x) and dot rows per glyph (pix_y) of a glyph set.
struct DotGrid {
    int Columns;
    int Rows;
};
DotGrid DotGridOf(TDotMatrix matrix);

// True when the glyph set has a lit dot at row, column of code. Only Rus5x7 carries glyphs;
// the other sets show every code blank.
bool GlyphDotLit(TDotMatrix matrix, uint8_t code, int row, int column);

// Dot size in screen pixels of a preset: 1 for pix1x1 up to 16 for pix16x16 (0 for pixCustom,
// whose size comes from PixelWidth and PixelHeight).
int PresetDotSize(TPixelSize size);

// Extent of one glyph along one axis: dots of dotSize with pixelSpacing between them.
constexpr int GlyphExtent(int dots, int dotSize, int pixelSpacing) {
    return dots * dotSize + (dots - 1) * pixelSpacing;
}

// Control extent that fits count glyphs exactly: glyphs, gaps of spacing + 1, the border
// space on both sides and one pixel of frame on each side.
constexpr int FittedExtent(int count, int glyph, int spacing, int borderSpace) {
    return (spacing + 1) * (count - 1) + 2 * borderSpace + glyph * count + 2;
}

// How many glyphs an extent holds after an outside resize; at least 1.
constexpr int GlyphsFitting(int extent, int glyph, int spacing, int borderSpace) {
    const int count = (extent - 2 * borderSpace + spacing + 1) / (glyph + spacing + 1);
    return count < 1 ? 1 : count;
}

// Offset of glyph index (from 0) inside the control.
constexpr int GlyphOrigin(int index, int glyph, int spacing, int borderSpace) {
    return borderSpace + 1 + index * (glyph + spacing + 1);
}

// Offset of dot index (from 0) inside a glyph.
constexpr int DotOrigin(int index, int dotSize, int pixelSpacing) {
    return index * (dotSize + pixelSpacing);
}

} // namespace vr410
