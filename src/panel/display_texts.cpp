#include "panel/display_texts.h"

#include "platform/text_encoding.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>

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

// r x 10 split into digit x den + rest, for r < den. Ten additions of r, each taken modulo den,
// so nothing passes 2^64 whatever den is.
struct TenfoldRest {
    uint64_t Digit;
    uint64_t Rest;
};
TenfoldRest TimesTen(uint64_t r, uint64_t den) {
    TenfoldRest out{0, 0};
    for (int i = 0; i < 10; ++i) {
        if (r >= den - out.Rest) { // Rest + r would reach den
            out.Rest = r - (den - out.Rest);
            ++out.Digit;
        } else {
            out.Rest += r;
        }
    }
    return out;
}

// num x 100 / den per cent, for 0 < den and num <= den, rounded once to five decimals, half
// away from zero, counted in units of 0.00001 % (0 .. 10'000'000). The quotient is exact, so
// the last digit is the nearest one: 24.0000346... reads 24.00003 and the tie 1.433625 reads
// 1.43363, where a double rounded to eight digits and then to five, or a double whose binary
// value lies just below the tie, gives the wrong last digit.
uint64_t PercentUnits(uint64_t num, uint64_t den) {
    if (num >= den) {
        return 10'000'000;
    }
    uint64_t quotient = 0;
    uint64_t rest = num;
    for (int i = 0; i < 7; ++i) { // 100 x 10^5 = 10^7
        const TenfoldRest step = TimesTen(rest, den);
        quotient = quotient * 10 + step.Digit;
        rest = step.Rest;
    }
    return rest >= den - rest ? quotient + 1 : quotient; // 2 x rest >= den: half or more
}

uint64_t Magnitude(int64_t x) {
    return x < 0 ? 0 - static_cast<uint64_t>(x) : static_cast<uint64_t>(x);
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
    return SeparatorPositions[static_cast<size_t>(x) + 2];
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
    const int index = 6 * separatorRow + 2 * u + (separator - 1);
    return SeparatorLetters[static_cast<size_t>(index)];
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
    // p = (value - base) x 100 / base, taken apart into its sign and its magnitude in units of
    // 0.00001 %, in integers: |p| > 100 exactly when |value - base| > |base|.
    bool below = false; // p < 0
    bool over = false;  // |p| > 100
    uint64_t units = 0;
    if (base == 0) {
        below = value < 0;
        over = value != 0;
    } else if (value == 0) {
        below = true; // p = -100
        units = 10'000'000;
    } else if ((value < 0) != (base < 0)) {
        below = true; // |value - base| = |value| + |base|, and value - base has the sign of value
        over = true;
    } else {
        const int64_t difference = value - base; // same signs: no overflow
        below = difference != 0 && (difference < 0) != (base < 0);
        over = Magnitude(difference) > Magnitude(base);
        units = over ? 0 : PercentUnits(Magnitude(difference), Magnitude(base));
    }
    std::string text;
    if (over) {
        text += below ? "<" : ">";
        units = 10'000'000;
    }
    // "-" for a deviation of zero or more, "+" for one below zero.
    text += below ? "+" : "-";
    text += std::to_string(units / 100'000);
    text += decimalSeparator;
    const std::string decimals = std::to_string(units % 100'000);
    text.append(5 - decimals.size(), '0');
    text += decimals;
    text += "%   ";
    return text;
}

} // namespace vr410
