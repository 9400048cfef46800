// The one Windows-1251/UTF-8 codec of the settings file and the display.
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

TEST(TextEncoding, EveryWindows1251ByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Utf8FromCp1251(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Cp1251FromUtf8Exact(utf8), all);
    EXPECT_EQ(Cp1251FromUtf8(utf8), all) << "the display writes the same codes";
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(Cp1251FromUnicode(UnicodeFromCp1251(static_cast<uint8_t>(code))), code) << code;
}

TEST(TextEncoding, CyrillicLettersHaveTheirWindows1251Codes) {
    EXPECT_EQ(Utf8FromCp1251("\xC3\xEE\xF2\xEE\xE2"), "Готов");
    EXPECT_EQ(Utf8FromCp1251("\xA8\xB8\xB9"), "Ёё№");
    EXPECT_EQ(Cp1251FromUtf8Exact("занят"), "\xE7\xE0\xED\xFF\xF2");
    EXPECT_EQ(Cp1251FromUtf8("Uвх(Авто)"), "U\xE2\xF5(\xC0\xE2\xF2\xEE)");
}

struct CodeCase {
    const char* Shows;
    char32_t CodePoint;
    uint8_t Code;
};

TEST(TextEncoding, CharactersHaveTheirCodes) {
    const CodeCase cases[] = {
        // clang-format off
        // what it shows            code point  code
        {"ASCII",                   U'V',       0x56},
        {"backslash",               U'\\',      0x5C},
        {"capital А",               U'А',       0xC0},
        {"Э",                       U'Э',       0xDD},
        {"small я",                 U'я',       0xFF},
        {"capital Ё",               U'Ё',       0xA8},
        {"small ё",                 U'ё',       0xB8},
        {"guillemet",               U'»',       0xBB},
        {"small je, font's delta",  U'ј',       0xBC},
        {"capital dze, font's Δ",   U'Ѕ',       0xBD},
        {"small dze, font's box",   U'ѕ',       0xBE},
        {"small yi",                U'ї',       0xBF},
        {"euro",                    U'€',       0x88},
        {"numero",                  U'№',       0xB9},
        // clang-format on
    };
    for (const CodeCase& c : cases) {
        EXPECT_EQ(Cp1251Code(c.CodePoint), c.Code) << c.Shows;
        EXPECT_EQ(Cp1251FromUnicode(c.CodePoint), c.Code) << c.Shows;
        EXPECT_EQ(UnicodeFromCp1251(c.Code), c.CodePoint) << c.Shows;
    }
}

// Where the settings file and the display part ways, and the unassigned byte 0x98 that both
// take as U+0098: the file refuses a text the page cannot hold (and is then kept in UTF-8), the
// display shows '?' for each character it lacks or each malformed byte.
TEST(TextEncoding, FileRefusesWhatTheDisplayShowsAsQuestionMarks) {
    struct Case {
        const char* Shows;
        std::string Utf8;
        std::optional<std::string> File;
        std::string Display;
    };
    const Case cases[] = {
        // clang-format off
        // what it shows                  UTF-8                 file               display
        {"unassigned 0x98 as U+0098",     "a\xC2\x98" "b",      "a\x98" "b",       "a\x98" "b"},
        {"Greek omega",                   "Ω=1",                std::nullopt,      "?=1"},
        {"Latin ä",                       "ä",                  std::nullopt,      "?"},
        {"Han",                           "中",                 std::nullopt,      "?"},
        {"replacement character",         "\xEF\xBF\xBD",       std::nullopt,      "?"},
        {"lone continuation byte",        "a\x80" "b",          std::nullopt,      "a?b"},
        {"cut two-byte sequence",         "\xD0",               std::nullopt,      "?"},
        {"overlong slash",                "\xC0\xAF",           std::nullopt,      "??"},
        {"surrogate",                     "\xED\xA0\x80",       std::nullopt,      "???"},
        // clang-format on
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cp1251FromUtf8Exact(c.Utf8), c.File) << c.Shows;
        EXPECT_EQ(Cp1251FromUtf8(c.Utf8), c.Display) << c.Shows;
    }
}

TEST(TextEncoding, Utf8Validation) {
    struct Case {
        const char* Shows;
        std::string Bytes;
        bool Valid;
    };
    const Case cases[] = {
        // clang-format off
        // what it shows                   bytes                      valid
        {"ASCII",                          "COM=3",                   true},
        {"Cyrillic",                       "Порт",                    true},
        {"four-byte character",            "\xF0\x9F\x98\x80",        true},
        {"Windows-1251 Cyrillic",          "\xCF\xEE\xF0\xF2",        false},
        {"overlong slash",                 "\xC0\xAF",                false},
        {"surrogate",                      "\xED\xA0\x80",            false},
        {"beyond U+10FFFF",                "\xF4\x90\x80\x80",        false},
        {"cut-off sequence at the end",    "ab\xD0",                  false},
        {"lone continuation byte",         "\x80",                    false},
        // clang-format on
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidUtf8(c.Bytes), c.Valid) << c.Shows;
}

TEST(TextEncoding, Utf8RoundTripAndMalformedInput) {
    for (char32_t codePoint : {U'A', U'Э', U'€', U'😀'})
        EXPECT_EQ(DecodeUtf8(EncodeUtf8(codePoint)), std::u32string(1, codePoint));
    EXPECT_EQ(DecodeUtf8("a\x80"
                         "b"),
              U"a\uFFFDb");
    EXPECT_EQ(EncodeUtf8(0xD800), "\xEF\xBF\xBD") << "a surrogate cannot be encoded";
    EXPECT_EQ(EncodeUtf8(0x110000), "\xEF\xBF\xBD");
}

TEST(TextEncoding, FoldCaseLowersAsciiAndCyrillicOnly) {
    EXPECT_EQ(FoldCase("FormI"), "formi");
    EXPECT_EQ(FoldCase("НАСТРОЙКИ Ёж"), "настройки ёж");
    EXPECT_EQ(FoldCase("ЂЃЄЅІЇЈЉЊЋЌЎЏҐ"), "ђѓєѕіїјљњћќўџґ");
    EXPECT_EQ(FoldCase("ÄÖ"), "ÄÖ") << "outside what Windows-1251 holds";
    EXPECT_EQ(FoldCase("A\xCF"), "a\xCF") << "a malformed byte stays as it is";
}

// The settings file compares names by length before folding them.
TEST(TextEncoding, FoldCaseKeepsTheLengthInBytes) {
    std::string everyCp1251Character;
    for (int code = 0; code < 256; ++code)
        everyCp1251Character += EncodeUtf8(UnicodeFromCp1251(static_cast<uint8_t>(code)));
    for (const std::string& text :
         {everyCp1251Character, std::string("\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80 \xD0"),
          std::string("ÄÖẞ Ω K")})
        EXPECT_EQ(FoldCase(text).size(), text.size()) << text;
}

} // namespace
} // namespace vr410
