#include "shell/calibration_entry.h"

#include <array>

namespace vr410 {

namespace {

// The real value is typed in the layout the instrument shows the range in: 8 digits each, with
// the decimal comma, the thousands letters and the unit as literals.
// clang-format off
constexpr std::array<VoltmeterCalibrationLayout, 5> VoltmeterLayouts{{
    {.Mask = "000\\,000\\u00\\m\\V;0;0", .DigitsFrom = 3}, // 100 mV: 000,000u00mV
    {.Mask = "0\\,000\\m000\\u0\\V;0;0", .DigitsFrom = 2}, // 1 V:    0,000m000u0V
    {.Mask = "00\\,000\\m000\\V;0;0",    .DigitsFrom = 1}, // 10 V:   00,000m000V
    {.Mask = "000\\,000\\m00\\V;0;0",    .DigitsFrom = 2}, // 100 V:  000,000m00V
    {.Mask = "0000\\,000\\m0\\V;0;0",    .DigitsFrom = 1}, // 1000 V: 0000,000m0V
}};
// clang-format on

// The digits of CalibrationDigits, wherever they come from.
constexpr size_t EntryDigits = 8;

} // namespace

std::optional<VoltmeterCalibrationLayout> VoltmeterCalibrationLayoutFor(int range) {
    if (range < 0 || range >= static_cast<int>(VoltmeterLayouts.size())) {
        return std::nullopt;
    }
    return VoltmeterLayouts[static_cast<size_t>(range)];
}

int64_t RoundHalfEven(int64_t numerator, int64_t denominator) {
    int64_t quotient = numerator / denominator;
    int64_t remainder = numerator % denominator;
    if (remainder < 0) { // floor division, so the remainder lies in [0, denominator)
        --quotient;
        remainder += denominator;
    }
    const int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && quotient % 2 != 0)) {
        ++quotient;
    }
    return quotient;
}

CalibrationLimits CalibrationLimitsAround(int64_t x) {
    // Exact in integers: x × 1.01 = x × 101 / 100. A product in doubles lands on the same halves
    // for every value the field can hold, but needs no argument to see it.
    return {.Upper = static_cast<int32_t>(RoundHalfEven(x * 101, 100)),
            .Lower = static_cast<int32_t>(RoundHalfEven(x * 99, 100))};
}

std::string DigitsOfShownText(std::string_view shown) {
    std::string digits;
    for (const char c : shown) {
        if (c == ' ') {
            digits.push_back('0');
        } else if (c >= '0' && c <= '9') {
            digits.push_back(c);
        }
    }
    return digits.empty() ? "0" : digits;
}

int64_t CalibrationDigitsValue(std::string_view digits) {
    int64_t value = 0;
    for (const char c : digits) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
        }
    }
    return value;
}

int CaretAfterEdit(int caret, bool moveCursor, bool backspaceOrDelete) {
    if (moveCursor || backspaceOrDelete || caret <= 1) {
        return caret;
    }
    return caret - 1;
}

void CalibrationEntry::Prepare(const QString& outputFieldMask) {
    int64_t x = 0;
    if (State_.Mode == PanelMode::Measurement) {
        if (const auto layout = VoltmeterCalibrationLayoutFor(State_.VoltmeterRange)) {
            Mask_ = QString::fromLatin1(layout->Mask);
            std::string digits =
                State_.MeasuredDigits.size() >= static_cast<size_t>(layout->DigitsFrom)
                    ? State_.MeasuredDigits.substr(layout->DigitsFrom - 1, EntryDigits)
                    : std::string();
            // A reading shorter than ten digits (none taken yet) leaves blanks, shown as "0".
            digits.resize(EntryDigits, '0');
            State_.CalibrationDigits = digits;
        }
        x = CalibrationDigitsValue(State_.CalibrationDigits);
    } else {
        x = CalibrationDigitsValue(State_.OutputDigits);
        Mask_ = outputFieldMask;
        State_.CalibrationDigits = State_.OutputDigits;
    }
    Limits_ = CalibrationLimitsAround(x);
    ME_temp_.SetMask(Mask_);
    LowerText_ = ShownAs(Limits_.Lower);
    UpperText_ = ShownAs(Limits_.Upper);
}

QString CalibrationEntry::ShownAs(int64_t value) const {
    // An AC output field holds 7 digits: padded to 8 and filled from the left it would show
    // the limit's first 7 digits, a tenth of it. Padded to the field's own count it shows the
    // limit itself; 8-digit fields get the 8 digits either way.
    QString digits =
        QString::number(value).rightJustified(static_cast<qsizetype>(EntryDigits), u'0');
    const qsizetype surplus = digits.size() - ME_temp_.DigitCount();
    if (surplus > 0 && digits.left(surplus).count(u'0') == surplus) {
        digits = digits.mid(surplus);
    }
    EditMask shown = ME_temp_;
    shown.SetDigits(digits);
    return shown.Text();
}

bool CalibrationEntry::CheckEdit(const QString& shown) {
    const std::string digits = DigitsOfShownText(shown.toStdString());
    if (CalibrationDigitsValue(digits) > Limits_.Upper) {
        return false;
    }
    State_.CalibrationDigits = digits;
    return true;
}

std::optional<std::string> CalibrationEntry::RefusalOfAccept() const {
    const int64_t v = CalibrationDigitsValue(State_.CalibrationDigits);
    if (v <= Limits_.Upper && v >= Limits_.Lower) {
        return std::nullopt;
    }
    return "Действительное напряжение должно находиться\r\nв пределах от " +
           LowerText_.toStdString() + " до " + UpperText_.toStdString() + "!";
}

} // namespace vr410
