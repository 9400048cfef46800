// The glyph table and the conversion of texts into its Windows-1251 codes.
#include "panel/cp1251.h"
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

struct CodeCase {
    const char* Name;
    char32_t CodePoint;
    uint8_t Code;
};

class Cp1251Codes : public testing::TestWithParam<CodeCase> {};

TEST_P(Cp1251Codes, MapTheCharacter) {
    EXPECT_EQ(Cp1251FromUnicode(GetParam().CodePoint), GetParam().Code);
}

INSTANTIATE_TEST_SUITE_P(
    Cp1251, Cp1251Codes,
    testing::Values(CodeCase{"Ascii", U'V', 0x56}, CodeCase{"Backslash", U'\\', 0x5C},
                    CodeCase{"CapitalA", U'А', 0xC0}, CodeCase{"DisplayOnE", U'Э', 0xDD},
                    CodeCase{"SmallYa", U'я', 0xFF}, CodeCase{"CapitalYo", U'Ё', 0xA8},
                    CodeCase{"SmallYo", U'ё', 0xB8}, CodeCase{"Guillemet", U'»', 0xBB},
                    CodeCase{"SmallJe", U'ј', 0xBC}, CodeCase{"CapitalDze", U'Ѕ', 0xBD},
                    CodeCase{"SmallDze", U'ѕ', 0xBE}, CodeCase{"SmallYi", U'ї', 0xBF},
                    CodeCase{"Euro", U'€', 0x88}, CodeCase{"Numero", U'№', 0xB9},
                    CodeCase{"GreekOmega", U'Ω', '?'}, CodeCase{"Han", U'中', '?'},
                    CodeCase{"Replacement", U'\uFFFD', '?'}),
    test::RowName());

TEST(Cp1251, EveryAssignedCodeComesBack) {
    for (int code = 0; code < 256; ++code) {
        if (code == 0x98) {
            continue;
        }
        EXPECT_EQ(Cp1251FromUnicode(UnicodeFromCp1251(static_cast<uint8_t>(code))), code) << code;
    }
}

TEST(Cp1251, TextBecomesOneCodePerCharacter) {
    EXPECT_EQ(Cp1251FromUtf8("Uвх(Авто)"), "U\xE2\xF5(\xC0\xE2\xF2\xEE)");
    EXPECT_EQ(Cp1251FromUtf8("ѕ"), "\xBE");
}

TEST(Cp1251, MalformedUtf8BecomesQuestionMarks) {
    // A lone continuation byte, a cut two-byte sequence, an overlong '/' and a surrogate.
    EXPECT_EQ(Cp1251FromUtf8("a\x80"
                             "b"),
              "a?b");
    EXPECT_EQ(Cp1251FromUtf8("\xD0"), "?");
    EXPECT_EQ(Cp1251FromUtf8("\xC0\xAF"), "??");
    EXPECT_EQ(Cp1251FromUtf8("\xED\xA0\x80"), "???");
}

TEST(Cp1251, Utf8RoundTrip) {
    for (char32_t codePoint : {U'A', U'Э', U'€', U'😀'}) {
        const std::u32string decoded = DecodeUtf8(EncodeUtf8(codePoint));
        ASSERT_EQ(decoded.size(), 1u);
        EXPECT_EQ(decoded.front(), codePoint);
    }
}

} // namespace
} // namespace vr410
