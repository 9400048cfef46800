#include "panel/lcd_geometry.h"

#include "panel/rus5x7.h"

namespace vr410 {

DotGrid DotGridOf(TDotMatrix matrix) {
    switch (matrix) {
    case TDotMatrix::mat5x8:
        return {5, 8};
    case TDotMatrix::mat7x9:
        return {7, 9};
    case TDotMatrix::mat9x12:
        return {9, 12};
    case TDotMatrix::Hitachi2:
        return {5, 10};
    case TDotMatrix::mat5x7:
    case TDotMatrix::Hitachi:
    case TDotMatrix::dos5x7:
    case TDotMatrix::Rus5x7:
        break;
    }
    return {5, 7};
}

bool GlyphDotLit(TDotMatrix matrix, uint8_t code, int row, int column) {
    return matrix == TDotMatrix::Rus5x7 && Rus5x7Lit(code, row, column);
}

int PresetDotSize(TPixelSize size) {
    return size == TPixelSize::pixCustom ? 0 : static_cast<int>(size) + 1;
}

} // namespace vr410
