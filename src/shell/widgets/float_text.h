// Numbers as the entry boxes write and read them, with the locale's decimal separator.
#pragma once

#include <QChar>
#include <QString>

#include <cstdint>
#include <optional>

namespace vr410 {

// The text as a decimal number: optional blanks, an optional sign, digits with at most one
// `separator` (at least one digit in all), an optional exponent ("E" or "e", an optional sign,
// at least one digit), optional blanks. Nothing else: no thousands separators, no "." when the
// separator is ",". std::nullopt when the text is not such a number or is out of range.
std::optional<long double> ParseDecimal(const QString& text, QChar separator);

// The text as a whole number: optional leading blanks, an optional sign and decimal digits, in
// the range of a 32-bit signed integer. std::nullopt otherwise.
std::optional<int32_t> ParseInt32(const QString& text);

// The value in fixed-point notation with exactly `digits` decimals (0..18) after rounding to 18
// significant digits, halves rounded away from zero, written with `separator`; no minus sign
// when the shown value is zero. A value of 19 or more integer digits is written in scientific
// notation instead.
QString FixedForm(long double value, int digits, QChar separator);

} // namespace vr410
