// The calibrator's 39 ranges. RangeIndex (and VoltmeterRange, for printing) is a row number.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vr410 {

struct RangeRow {
    char16_t Prefix;      // u'm' or u' '
    char16_t Unit;        // u'V', u'A' or u'R'
    uint8_t PointPos;     // integer digits of the value plus one
    char16_t Kind;        // u'+', u'-', u'~' (AC) or u' '
    char16_t Sign;        // sign printed before the output value
    int32_t MaxDigits;    // largest accepted value of the eight digits as an integer
    int32_t Nominal;      // nominal full scale in the same digit units
    uint8_t PolarityPair; // row of the other polarity
    uint8_t AcDcPair;     // AC row of a DC row, DC row of an AC row
    uint8_t SeparatorRow; // row 0..3 of the panel's digit-separator table
    uint8_t ZeroSlot;     // 0..10 where a complete zero can be made, 55 elsewhere
};

constexpr size_t RangeCount = 39;
extern const std::array<RangeRow, RangeCount> RangeTable;

// True when row is an AC row (Kind '~'). Rows past the table are not AC.
bool IsAcRow(size_t row);

// Range label: the first PointPos - 1 digits of Nominal, then Prefix (unless blank), then Unit.
// Row 0 gives "100mV", row 24 "700V", row 30 "50A". Empty for rows past the table.
std::string RangeLabel(size_t row);

} // namespace vr410
