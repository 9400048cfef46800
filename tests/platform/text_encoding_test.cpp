#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace vr410 {
namespace {

TEST(TextEncoding, EveryWindows1251ByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Windows1251ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToWindows1251(utf8), all);
}

TEST(TextEncoding, CyrillicLettersHaveTheirWindows1251Codes) {
    EXPECT_EQ(Windows1251ToUtf8("\xC3\xEE\xF2\xEE\xE2"), "Готов");
    EXPECT_EQ(Windows1251ToUtf8("\xA8\xB8\xB9"), "Ёё№");
    EXPECT_EQ(Utf8ToWindows1251("занят"), "\xE7\xE0\xED\xFF\xF2");
    EXPECT_FALSE(Utf8ToWindows1251("ä").has_value()) << "no Windows-1251 code";
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

TEST(TextEncoding, FoldCaseLowersAsciiAndCyrillicOnly) {
    EXPECT_EQ(FoldCase("FormI"), "formi");
    EXPECT_EQ(FoldCase("НАСТРОЙКИ Ёж"), "настройки ёж");
    EXPECT_EQ(FoldCase("ЂЃЄЅІЇЈЉЊЋЌЎЏҐ"), "ђѓєѕіїјљњћќўџґ");
    EXPECT_EQ(FoldCase("ÄÖ"), "ÄÖ") << "outside what Windows-1251 holds";
}

} // namespace
} // namespace vr410
