// The texts the display renderers are built from: digit formatting, the digit-separator
// tables, the quantity letter, the frequency and the relative deviation. Plain values in and
// out; the renderers put them on the display.
#pragma once

#include "protocol/range_table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vr410 {

// The decimal digits of value with leading zeros up to width digits: (5, 3) gives "005",
// (1234, 2) "1234", (0, 0) "0". A negative value gives "-" and the zero-padded magnitude.
std::string ZeroPaddedDigits(int32_t value, int32_t width);

// Separator number (0 none, 1 first, 2 second) at entry x of the separator-position table,
// x = 11 * (PointPos - 2) + k from -2 to 43; 0 outside the table.
int SeparatorAt(int x);

// Letter of the given separator (1 or 2) for a SeparatorRow and Unit; ' ' where the table has
// a blank, for separator numbers other than 1 and 2 and for rows or units outside the table.
char SeparatorLetter(uint8_t separatorRow, char16_t unit, int separator);

// What a digit separator puts on the display and into the output field's mask under a
// ViewMode: 1 a blank, 2 the separator letter (a blank letter adds nothing to the mask), any
// other value nothing at all and no display position either, so the digits stay together.
struct SeparatorCell {
    bool TakesPosition;
    std::string Text; // UTF-8, for the position when it takes one
    std::string Mask; // appended to the output field's mask
};
SeparatorCell SeparatorFor(uint8_t viewMode, const RangeRow& row, int separator);

// "I" for a current row, "U" for a voltage row, "R" for the "R" rows, "?" otherwise.
std::string QuantityLetter(const RangeRow& row);

// One table character (sign, prefix or unit) as UTF-8.
std::string TextOf(char16_t character);

// The leading decimal digits of text as a number; 0 when text does not start with a digit.
int64_t DigitsValue(std::string_view text);

// "F=", the frequency field's text, "Гц", then blanks up to 8 characters in all.
std::string FrequencyText(std::string_view fieldText);

// The relative deviation (value - base) x 100 / base in per cent: an overflow mark (">" or
// "<") and 100 when its magnitude exceeds 100, then "-" for a deviation of zero or more and
// "+" for one below zero, the magnitude rounded once to five decimals, half away from zero,
// from the exact quotient, with the given separator, "%" and three blanks. A zero base reads
// as no deviation when value is 0 as well, and as an overflow otherwise.
std::string PercentText(int64_t value, int64_t base, std::string_view decimalSeparator);

} // namespace vr410
