// The calibrator's output value rules per range row: digit count, limits, presets, the range-key
// arithmetic and the decimals of the complete-zero dialog.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vr410 {

// Output values on AC rows have seven digits, on every other row eight.
size_t OutputDigitCount(size_t row);

// The value of the decimal digits of text, other characters skipped; 0 when there are none.
int64_t OutputDigitsValue(std::string_view text);

// Largest accepted output value of the row in its own digit count. On AC rows the eight-digit
// table values are divided by 10; the AC 700 V row (24) already holds seven-digit values
// (7140000, i.e. 714.0000 V) and keeps them as they are.
int32_t OutputUpperLimit(size_t row);

// Smallest accepted output value on AC rows: 0010000, 1 % of a range.
constexpr int32_t AcLowerLimit = 10000;

// The field's digits for the row: text's blanks read as "0", its other non-digit characters
// (the layout's literals) skipped, then padded with "0" on the right or cut to the row's digit
// count. No limit is applied.
std::string OutputFieldDigits(size_t row, std::string_view text);

// The output value after the entry rules: text's digits padded with "0" on the right or cut to
// the row's digit count, then held within the row's limits. Clamped tells whether a limit
// replaced the value.
struct LimitedDigits {
    std::string Digits;
    bool Clamped = false;
};
LimitedDigits LimitOutputDigits(size_t row, std::string_view text);

// The value the reset and the range keys start from: "0010000" on AC rows, "00000000" otherwise.
std::string ResetDigits(size_t row);

// The value of the maximum key: the row's nominal full scale in the row's digit count
// ("10000000", "1000000" on AC, "7000000" on the 700 V row).
std::string MaximumDigits(size_t row);

// The row a range key (k = 0 for "6" .. 4 for "0") leads to from row: 5 * group + k, the group
// being row div 5 with the exceptions that keep the shown sign between the low and high voltage
// rows and lead from the 50 A rows back into the current rows. Nothing when the result lies past
// the table, which happens only on the "R" rows 35..38 with the key "0".
std::optional<uint8_t> RangeKeyRow(size_t row, int k);

// Decimals of the zero value and the prefix letter of the unit in the complete-zero dialog.
struct ZeroDialogEntry {
    uint8_t Row;
    int Decimals;
    char Letter;
};
extern const std::array<ZeroDialogEntry, 22> ZeroDialogTable;

// The entry for row, or nothing on rows where no complete zero can be made.
std::optional<ZeroDialogEntry> FindZeroDialogEntry(size_t row);

} // namespace vr410
