// The rules of the user calibration dialog without its window: which layout the real value is
// typed in, where its first digits come from, the ±1 % limits and their texts, the check of every
// edit and the check of "Принять". The dialog TFormCalibration shows what this decides.
#pragma once

#include "panel/keypad/edit_mask.h"
#include "protocol/instrument_state.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vr410 {

// Where the voltmeter's reading is typed: the field's mask for the voltmeter range and the
// 1-based position in MeasuredDigits of the 8 digits the entry starts with.
struct VoltmeterCalibrationLayout {
    const char* Mask;
    int DigitsFrom;
};

// The layout for VoltmeterRange 0..4; nothing for any other range.
std::optional<VoltmeterCalibrationLayout> VoltmeterCalibrationLayoutFor(int range);

// numerator / denominator rounded to the nearest integer, a half to the even neighbour.
// denominator must be positive.
int64_t RoundHalfEven(int64_t numerator, int64_t denominator);

// The accepted range around x: x × 1.01 and x × 0.99, each rounded half to even.
struct CalibrationLimits {
    int32_t Upper = 0;
    int32_t Lower = 0;
};
CalibrationLimits CalibrationLimitsAround(int64_t x);

// A shown text's digits as the checks read them: every blank taken as "0", every other
// character but "0".."9" left out, "0" when nothing remains.
std::string DigitsOfShownText(std::string_view shown);

// The value of a string of decimal digits (other characters skipped); 0 when there are none.
int64_t CalibrationDigitsValue(std::string_view digits);

// The caret index after an accepted edit: with cursor advance off, an edit that was not
// Backspace or Delete moves a caret past the second character back by one, so that typing
// keeps replacing the same digit.
int CaretAfterEdit(int caret, bool moveCursor, bool backspaceOrDelete);

class CalibrationEntry {
  public:
    // Keeps the state; it must outlive the entry. The entry writes only CalibrationDigits.
    explicit CalibrationEntry(InstrumentState& state) : State_(state) {}

    // The preparation each time the dialog becomes active: the field's mask (the voltmeter's for
    // its range in measurement, else outputFieldMask, the output value field's), the first
    // digits, the limits and their texts as the field shows them. Ranges past 4 keep the mask
    // and the digits of the last preparation.
    void Prepare(const QString& outputFieldMask);

    // The check of an edit, given the text the field shows. True when the value stays within
    // the upper limit: CalibrationDigits takes the shown digits. False when it passes the limit:
    // the field must show CalibrationDigits again.
    bool CheckEdit(const QString& shown);

    // The check of "Принять": nothing when CalibrationDigits lies within the limits, else the
    // text of the error box that names both limits.
    std::optional<std::string> RefusalOfAccept() const;

    const QString& Mask() const { return Mask_; }
    CalibrationLimits Limits() const { return Limits_; }
    const QString& LowerText() const { return LowerText_; }
    const QString& UpperText() const { return UpperText_; }

  private:
    // The field's text with the digits of value, zero-padded on the left to the field's digit
    // count (at least 8).
    QString ShownAs(int64_t value) const;

    InstrumentState& State_;
    QString Mask_;
    CalibrationLimits Limits_;
    EditMask ME_temp_; // formats the limit texts
    QString LowerText_;
    QString UpperText_;
};

} // namespace vr410
