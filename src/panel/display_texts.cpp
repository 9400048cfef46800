#include "panel/display_texts.h"

#include "panel/cp1251.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vr410 {
namespace {

// Separator after digit k + 1 of a value whose point position is P: entry 11 * (P - 2) + k,
// stored from x = -2 so that the readings' lookup (which starts two entries early) stays inside.
// clang-format off
constexpr std::array<uint8_t, 46> SeparatorPositions = {
//  k: 0  1  2  3  4  5  6  7  8  9  10
    0, 0,                                 // x = -2, -1
       0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 0,   // P = 2
       0, 0, 0, 0, 1, 0, 0, 2, 0, 0, 0,   // P = 3
       0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1,   // P = 4
       0, 0, 0, 0, 0, 0, 2, 0, 0, 2, 0,   // P = 5
};

// Letters of the first and second separator by SeparatorRow and unit; ' ' is no letter.
constexpr std::array<char, 24> SeparatorLetters = {
//  V: 1st 2nd  A: 1st 2nd  R: 1st 2nd      SeparatorRow
       'u', ' ',   'u', 'n',   ' ', 'm',    // 0
       'm', 'u',   'u', ' ',   'm', ' ',    // 1
       'm', ' ',   'm', 'u',   'm', 'u',    // 2
       ' ', 'm',   'm', ' ',   'u', ' ',    // 3
};
// clang-format on

} // namespace

std::string ZeroPaddedDigits(int32_t value, int32_t width) {
    // Widened so that the magnitude of the most negative value is representable.
    int64_t rest = value < 0 ? -static_cast<int64_t>(value) : value;
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + rest % 10));
        rest /= 10;
        --width;
    } while (width >= 1 || rest >= 1);
    if (value < 0) {
        digits.insert(digits.begin(), '-');
    }
    return digits;
}

int SeparatorAt(int x) {
    if (x < -2 || x > 43) {
        return 0;
    }
    return SeparatorPositions[static_cast<size_t>(x + 2)];
}

char SeparatorLetter(uint8_t separatorRow, char16_t unit, int separator) {
    int u = 0;
    switch (unit) {
    case u'V':
        u = 0;
        break;
    case u'A':
        u = 1;
        break;
    case u'R':
        u = 2;
        break;
    default:
        return ' ';
    }
    if (separatorRow > 3 || (separator != 1 && separator != 2)) {
        return ' ';
    }
    return SeparatorLetters[static_cast<size_t>(6 * separatorRow + 2 * u + (separator - 1))];
}

SeparatorCell SeparatorFor(uint8_t viewMode, const RangeRow& row, int separator) {
    if (viewMode == 1) {
        return {.TakesPosition = true, .Text = " ", .Mask = "\\_"};
    }
    if (viewMode == 2) {
        const char letter = SeparatorLetter(row.SeparatorRow, row.Unit, separator);
        return {.TakesPosition = true,
                .Text = std::string(1, letter),
                .Mask = letter == ' ' ? std::string() : std::string("\\") + letter};
    }
    return {.TakesPosition = false, .Text = {}, .Mask = {}};
}

std::string QuantityLetter(const RangeRow& row) {
    switch (row.Unit) {
    case u'A':
        return "I";
    case u'V':
        return "U";
    case u'R':
        return "R";
    default:
        return "?";
    }
}

std::string TextOf(char16_t character) {
    return EncodeUtf8(character);
}

int64_t DigitsValue(std::string_view text) {
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > std::numeric_limits<int64_t>::max() / 10 - 9) {
            break;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string FrequencyText(std::string_view fieldText) {
    std::string text = "F=";
    text += fieldText;
    text += "Гц";
    for (size_t length = DecodeUtf8(fieldText).size(); length < 4; ++length) {
        text += ' ';
    }
    return text;
}

std::string PercentText(int64_t value, int64_t base, std::string_view decimalSeparator) {
    double p = 0.0;
    if (base != 0) {
        p = static_cast<double>(value - base) * 100.0 / static_cast<double>(base);
    } else if (value != 0) {
        p = value > 0 ? std::numeric_limits<double>::infinity()
                      : -std::numeric_limits<double>::infinity();
    }
    std::string text;
    if (std::fabs(p) > 100.0) {
        text += p >= 0 ? ">" : "<";
        p = p >= 0 ? 100.0 : -100.0;
    }
    // The sign shown is that of base - value; a deviation of zero (also -0.0) reads "-".
    text += p >= 0 ? "-" : "+";
    char number[32];
    std::snprintf(number, sizeof number, "%.5f", std::fabs(p));
    for (const char* c = number; *c != '\0'; ++c) {
        if (*c == '.') {
            text += decimalSeparator;
        } else {
            text += *c;
        }
    }
    text += "%   ";
    return text;
}

} // namespace vr410
