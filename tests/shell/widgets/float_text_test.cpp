// The entry boxes' number texts: what reads as a number with the locale's separator, what a
// whole-number box reads, and the fixed form the decimal box shows.
#include "shell/widgets/float_text.h"

#include <gtest/gtest.h>

#include <optional>

namespace vr410 {
namespace {

struct DecimalCase {
    const char* Name;
    const char* Text;
    char Separator;
    std::optional<long double> Expected;
};

TEST(ParseDecimal, ReadsOnlyNumbersWrittenWithTheGivenSeparator) {
    const DecimalCase cases[] = {
        {.Name = "digits", .Text = "42", .Separator = ',', .Expected = 42.0L},
        {.Name = "comma decimals", .Text = "-5,3", .Separator = ',', .Expected = -5.3L},
        {.Name = "point decimals", .Text = "12.25", .Separator = '.', .Expected = 12.25L},
        {.Name = "point under comma", .Text = "12.25", .Separator = ',', .Expected = std::nullopt},
        {.Name = "separator first", .Text = ",5", .Separator = ',', .Expected = 0.5L},
        {.Name = "separator last", .Text = "5,", .Separator = ',', .Expected = 5.0L},
        {.Name = "plus sign", .Text = "+7", .Separator = ',', .Expected = 7.0L},
        {.Name = "blanks around", .Text = "  3 ", .Separator = ',', .Expected = 3.0L},
        {.Name = "exponent", .Text = "1E2", .Separator = ',', .Expected = 100.0L},
        {.Name = "signed exponent", .Text = "25e-1", .Separator = ',', .Expected = 2.5L},
        {.Name = "exponent without digits", .Text = "1E", .Separator = ',', .Expected = {}},
        {.Name = "minus alone", .Text = "-", .Separator = ',', .Expected = std::nullopt},
        {.Name = "separator alone", .Text = ",", .Separator = ',', .Expected = std::nullopt},
        {.Name = "empty", .Text = "", .Separator = ',', .Expected = std::nullopt},
        {.Name = "E alone", .Text = "E", .Separator = ',', .Expected = std::nullopt},
        {.Name = "two separators", .Text = "1,2,3", .Separator = ',', .Expected = std::nullopt},
        {.Name = "letters", .Text = "abc", .Separator = ',', .Expected = std::nullopt},
        {.Name = "sign in the middle", .Text = "1-2", .Separator = ',', .Expected = std::nullopt},
        {.Name = "beyond the range", .Text = "1E99999", .Separator = ',', .Expected = {}},
    };
    for (const DecimalCase& c : cases) {
        const std::optional<long double> got =
            ParseDecimal(QString::fromUtf8(c.Text), QLatin1Char(c.Separator));
        ASSERT_EQ(got.has_value(), c.Expected.has_value()) << c.Name;
        if (got) {
            EXPECT_NEAR(static_cast<double>(*got), static_cast<double>(*c.Expected), 1e-12)
                << c.Name;
        }
    }
}

TEST(ParseInt32, ReadsDecimalNumbersOfThirtyTwoBits) {
    const struct {
        const char* Text;
        std::optional<int32_t> Expected;
    } cases[] = {
        {"0", 0},
        {"-5", -5},
        {"+12", 12},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"12345678901", std::nullopt}, // eleven digits
        {"", std::nullopt},
        {"-", std::nullopt},
        {"abc", std::nullopt},
        {"1a", std::nullopt},
        {"$10", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseInt32(QString::fromLatin1(c.Text)), c.Expected) << c.Text;
    }
}

TEST(FixedForm, ShowsExactlyTheDecimalsAskedWithTheSeparator) {
    const struct {
        long double Value;
        int Digits;
        char Separator;
        const char* Expected;
    } cases[] = {
        {0.0L, 1, ',', "0,0"},
        {-100.0L, 1, ',', "-100,0"},
        {-5.0L, 1, '.', "-5.0"},
        {100.0L, 0, ',', "100"},
        {1.25L, 1, ',', "1,3"},   // halves away from zero
        {-1.25L, 1, ',', "-1,3"}, // also below zero
        {0.05L, 1, ',', "0,1"},
        {0.7L, 0, ',', "1"},
        {9.96L, 1, ',', "10,0"}, // the carry adds an integer digit
        {-0.04L, 1, ',', "0,0"}, // no minus before a shown zero
        {12.5L, 3, ',', "12,500"},
        {0.1L, 18, '.', "0.100000000000000000"}, // 18 significant digits, not the binary tail
        {123456789.123456789L, 2, '.', "123456789.12"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FixedForm(c.Value, c.Digits, QLatin1Char(c.Separator)).toStdString(), c.Expected)
            << static_cast<double>(c.Value) << " with " << c.Digits << " decimals";
    }
}

TEST(FixedForm, ReadsBackAsTheValueItShows) {
    for (const long double value : {-99.9L, -0.1L, 3.3L, 42.0L, 99.9L}) {
        const QString text = FixedForm(value, 1, QLatin1Char(','));
        const std::optional<long double> back = ParseDecimal(text, QLatin1Char(','));
        ASSERT_TRUE(back.has_value()) << text.toStdString();
        EXPECT_EQ(FixedForm(*back, 1, QLatin1Char(',')), text);
    }
}

} // namespace
} // namespace vr410
