#include "panel/keypad/range_rules.h"

#include "protocol/range_table.h"

#include <algorithm>

namespace vr410 {
namespace {

constexpr int32_t EightDigitFloor = 10000000;

// Table values of AC rows in seven digits: eight-digit figures lose their last digit.
int32_t AcScaled(int32_t value) {
    return value >= EightDigitFloor ? value / 10 : value;
}

std::string Padded(int64_t value, size_t width) {
    std::string text = std::to_string(value);
    if (text.size() < width) {
        text.insert(0, width - text.size(), '0');
    }
    return text;
}

} // namespace

size_t OutputDigitCount(size_t row) {
    return IsAcRow(row) ? 7 : 8;
}

int64_t OutputDigitsValue(std::string_view text) {
    int64_t value = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            // Digit strings here are at most ten digits; the guard keeps garbage from overflowing.
            if (value < (int64_t{1} << 58)) {
                value = value * 10 + (c - '0');
            }
        }
    }
    return value;
}

int32_t OutputUpperLimit(size_t row) {
    if (row >= RangeCount) {
        return 0;
    }
    const int32_t max = RangeTable[row].MaxDigits;
    return IsAcRow(row) ? AcScaled(max) : max;
}

std::string OutputFieldDigits(size_t row, std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c == ' ') {
            digits.push_back('0');
        } else if (c >= '0' && c <= '9') {
            digits.push_back(c);
        }
    }
    digits.resize(OutputDigitCount(row), '0');
    return digits;
}

LimitedDigits LimitOutputDigits(size_t row, std::string_view text) {
    const std::string digits = OutputFieldDigits(row, text);
    const size_t count = digits.size();

    const int64_t value = OutputDigitsValue(digits);
    const int64_t upper = OutputUpperLimit(row);
    if (value > upper) {
        return {Padded(upper, count), true};
    }
    if (IsAcRow(row) && value < AcLowerLimit) {
        return {Padded(AcLowerLimit, count), true};
    }
    return {digits, false};
}

std::string ResetDigits(size_t row) {
    return IsAcRow(row) ? "0010000" : "00000000";
}

std::string MaximumDigits(size_t row) {
    if (row >= RangeCount) {
        return ResetDigits(row);
    }
    const int32_t nominal = RangeTable[row].Nominal;
    return Padded(IsAcRow(row) ? AcScaled(nominal) : nominal, OutputDigitCount(row));
}

std::optional<uint8_t> RangeKeyRow(size_t row, int k) {
    k = std::clamp(k, 0, 4);
    int group = static_cast<int>(row / 5);
    if (row == 30) {
        group = 2;
    } else if (row == 31) {
        group = 3;
    } else if (row == 32) {
        group = 5;
    } else if ((k >= 3 && row <= 2) || (k <= 2 && (row == 3 || row == 4))) {
        group = 1;
    } else if ((k >= 3 && row >= 5 && row <= 7) || (k <= 2 && (row == 8 || row == 9))) {
        group = 0;
    }
    const int to = 5 * group + k;
    if (to >= static_cast<int>(RangeCount)) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(to);
}

// clang-format off
const std::array<ZeroDialogEntry, 22> ZeroDialogTable{{
    {.Row = 0,  .Decimals = 3, .Letter = 'u'}, {.Row = 5,  .Decimals = 3, .Letter = 'u'},
    {.Row = 1,  .Decimals = 2, .Letter = 'u'}, {.Row = 6,  .Decimals = 2, .Letter = 'u'},
    {.Row = 2,  .Decimals = 1, .Letter = 'u'}, {.Row = 7,  .Decimals = 1, .Letter = 'u'},
    {.Row = 3,  .Decimals = 2, .Letter = 'm'}, {.Row = 4,  .Decimals = 2, .Letter = 'm'},
    {.Row = 8,  .Decimals = 2, .Letter = 'm'}, {.Row = 9,  .Decimals = 2, .Letter = 'm'},
    {.Row = 10, .Decimals = 2, .Letter = 'n'}, {.Row = 15, .Decimals = 2, .Letter = 'n'},
    {.Row = 11, .Decimals = 1, .Letter = 'n'}, {.Row = 16, .Decimals = 1, .Letter = 'n'},
    {.Row = 12, .Decimals = 3, .Letter = 'u'}, {.Row = 17, .Decimals = 3, .Letter = 'u'},
    {.Row = 13, .Decimals = 1, .Letter = 'u'}, {.Row = 18, .Decimals = 1, .Letter = 'u'},
    {.Row = 14, .Decimals = 3, .Letter = 'm'}, {.Row = 19, .Decimals = 3, .Letter = 'm'},
    {.Row = 30, .Decimals = 3, .Letter = 'm'}, {.Row = 31, .Decimals = 3, .Letter = 'm'},
}};
// clang-format on

std::optional<ZeroDialogEntry> FindZeroDialogEntry(size_t row) {
    if (row >= RangeCount || RangeTable[row].ZeroSlot > 10) {
        return std::nullopt;
    }
    for (const ZeroDialogEntry& entry : ZeroDialogTable) {
        if (entry.Row == row) {
            return entry;
        }
    }
    return std::nullopt;
}

} // namespace vr410
