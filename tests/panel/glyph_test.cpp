// The glyph table of the display font.
#include "panel/rus5x7.h"

#include "row_name.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace vr410 {
namespace {

using test::PrintTo;

// The glyph of code as 7 rows of 5 dots separated by '/', as the instrument's font is drawn.
std::string Picture(uint8_t code) {
    std::string picture;
    for (int row = 0; row < GlyphRows; ++row) {
        if (row > 0) {
            picture += '/';
        }
        for (int column = 0; column < GlyphColumns; ++column) {
            picture += Rus5x7Lit(code, row, column) ? '#' : '.';
        }
    }
    return picture;
}

bool Blank(uint8_t code) {
    return Picture(code).find('#') == std::string::npos;
}

struct TellingGlyph {
    const char* Name;
    uint8_t Code;
    const char* Rows;
};

class TellingGlyphs : public testing::TestWithParam<TellingGlyph> {};

TEST_P(TellingGlyphs, MatchTheInstrumentsFontDotForDot) {
    EXPECT_EQ(Picture(GetParam().Code), GetParam().Rows);
}

INSTANTIATE_TEST_SUITE_P(
    Rus5x7, TellingGlyphs,
    testing::Values(TellingGlyph{"ZeroWithStroke", 0x30,
                                 ".###./#...#/#..##/#.#.#/##..#/#...#/.###."},
                    TellingGlyph{"Tilde", 0x7E, "...../...../....#/.#.#./#.#../...../....."},
                    TellingGlyph{"SmallPerCent", 0xBB, "...../...../#...#/#..#./..#../.#..#/#...#"},
                    TellingGlyph{"SmallDelta", 0xBC, ".###./#..../.###./#...#/#...#/#...#/.###."},
                    TellingGlyph{"CapitalDelta", 0xBD, "...../...../..#../.#.#./.#.#./#...#/#####"},
                    TellingGlyph{"Box", 0xBE, "...../#####/#...#/#...#/#...#/#####/....."},
                    TellingGlyph{"SmallBox", 0xBF, "...../...../.###./.#.#./.###./...../....."}),
    test::RowName());

TEST(Rus5x7, IsBlankOutsideTheDrawnRanges) {
    for (int code = 0x00; code <= 0x20; ++code) {
        EXPECT_TRUE(Blank(static_cast<uint8_t>(code))) << code;
    }
    for (int code = 0x7F; code <= 0xBA; ++code) {
        EXPECT_TRUE(Blank(static_cast<uint8_t>(code))) << code;
    }
    EXPECT_TRUE(Blank(0xA8)); // Ё
    EXPECT_TRUE(Blank(0xB8)); // ё
}

TEST(Rus5x7, DrawsEveryPrintableCharacterAndLetterDifferently) {
    std::set<std::string> ascii;
    for (int code = 0x21; code <= 0x7E; ++code) {
        EXPECT_FALSE(Blank(static_cast<uint8_t>(code))) << code;
        ascii.insert(Picture(static_cast<uint8_t>(code)));
    }
    EXPECT_EQ(ascii.size(), 0x7Eu - 0x21u + 1u);
    std::set<std::string> cyrillic;
    for (int code = 0xC0; code <= 0xFF; ++code) {
        EXPECT_FALSE(Blank(static_cast<uint8_t>(code))) << code;
        cyrillic.insert(Picture(static_cast<uint8_t>(code)));
    }
    EXPECT_EQ(cyrillic.size(), 64u);
}

TEST(Rus5x7, BackslashFallsFromTopLeftToBottomRight) {
    int lastColumn = -1;
    for (int row = 0; row < GlyphRows; ++row) {
        for (int column = 0; column < GlyphColumns; ++column) {
            if (Rus5x7Lit(0x5C, row, column)) {
                EXPECT_GT(column, lastColumn) << row;
                lastColumn = column;
            }
        }
    }
    EXPECT_EQ(lastColumn, 4);
}

TEST(Rus5x7, DotsOutsideTheGlyphAreUnlit) {
    EXPECT_FALSE(Rus5x7Lit(0xBE, -1, 0));
    EXPECT_FALSE(Rus5x7Lit(0xBE, 1, 5));
    EXPECT_FALSE(Rus5x7Lit(0xBE, 7, 0));
}

} // namespace
} // namespace vr410
