#include "panel/display_texts.h"

#include "panel/cp1251.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Rounds the decimal number digits x 10^-scale to newScale decimals, half away from zero;
// a larger newScale only appends zeros. digits is a non-empty string of '0'..'9'.
void RoundToScale(std::string& digits, int& scale, int newScale) {
    if (newScale >= scale) {
        digits.append(static_cast<size_t>(newScale - scale), '0');
        scale = newScale;
        return;
    }
    const auto dropped = static_cast<size_t>(scale - newScale);
    scale = newScale;
    // Past the front of digits even the first dropped digit is a leading zero.
    const bool up = dropped <= digits.size() && digits[digits.size() - dropped] >= '5';
    digits.erase(digits.size() - std::min(dropped, digits.size()));
    if (digits.empty()) {
        digits.push_back('0');
    }
    if (!up) {
        return;
    }
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// A non-negative finite magnitude with five decimals, first rounded to eight significant
// digits and then to the five decimals, each step half away from zero: 24.299774738 reads
// 24.29978, not the 24.29977 of a single rounding. Both steps start from the first 18
// significant digits of the value.
std::string FixedFiveDecimals(double magnitude) {
    char scientific[40];
    std::snprintf(scientific, sizeof scientific, "%.17e", magnitude);
    std::string digits(1, scientific[0]);
    digits.append(scientific + 2, 17);
    const int exponent = std::atoi(std::strchr(scientific, 'e') + 1);
    int scale = 17 - exponent;
    RoundToScale(digits, scale, 7 - exponent);
    RoundToScale(digits, scale, 5);
    const size_t first = std::min(digits.find_first_not_of('0'), digits.size());
    digits.erase(0, first);
    if (digits.size() < 6) {
        digits.insert(0, 6 - digits.size(), '0');
    }
    digits.insert(digits.size() - 5, 1, '.');
    return digits;
}

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
    // "-" for a deviation of zero or more (also -0.0), "+" with the magnitude below zero.
    text += p >= 0 ? "-" : "+";
    for (const char c : FixedFiveDecimals(std::fabs(p))) {
        if (c == '.') {
            text += decimalSeparator;
        } else {
            text += c;
        }
    }
    text += "%   ";
    return text;
}

} // namespace vr410
