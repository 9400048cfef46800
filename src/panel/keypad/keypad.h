// The keypad's behaviour: the main and the shifted function of every key, over the instrument
// state and the main window (KeypadHost). No widgets here; the panel's buttons call Press.
#pragma once

#include "panel/keypad/key_latches.h"
#include "panel/keypad/keypad_host.h"
#include "protocol/instrument_state.h"

#include <cstdint>
#include <optional>

namespace vr410 {

class Keypad {
  public:
    Keypad(InstrumentState& state, KeypadHost& host);

    // A click on key as the button does it: SB_Shift toggles; a key of a radio group latches
    // itself down first; then the key's handler runs.
    void Press(PanelKey key);

    // The click handlers. Each releases SB_Shift when it is down and then performs the shifted
    // function, otherwise the main function.
    void SB_EnterClick();
    void SB_1Click();
    void SB_2Click();
    void SB_3Click();
    void SB_4Click();
    void SB_5Click();
    void SB_RangeClick(int tag); // SB_6 .. SB_0, tag 0 .. 4
    void SB_ResetClick();
    void SB_PolarClick();
    void SB_SinClick();
    void SB_IClick();
    void SB_UClick();
    void SB_MeasClick();

  private:
    // Releases SB_Shift; true when it was down.
    bool TakeShift();
    bool RangeIsAc() const;
    char16_t RangeUnit() const;
    // Sets the voltmeter flags of a voltmeter key and issues command 36 with the poll interval.
    void VoltmeterKey(int queryInterval);
    // "U1" / "U2": in measurement selects the other input, ending the difference display.
    void SelectInput(uint8_t input);
    // The rows "V" and "I" lead to, by the Kind of the current row.
    struct QuantityRows {
        uint8_t Plus;
        uint8_t Minus;
        uint8_t Ac;
    };
    // "V" / "I": in output entry on a row of another unit, moves to the row of rows that keeps the
    // shown sign. Refused otherwise, leaving the key as pressed.
    void QuantityKey(char16_t unit, QuantityRows rows);
    // Clears an active indicator at column 16 or 19 and issues the cancel command 49.
    void CancelWithHint(int column, int row, const char* hint);

    void ShiftedPercent();
    void ShiftedOk();
    void ShiftedZeroSetting();
    void ShiftedCalibration();

    InstrumentState& State_;
    KeypadHost& Host_;
};

// The smallest value on the panel for which the user calibration dialog opens.
constexpr int64_t CalibrationThreshold = 900000;

// The voltmeter reading scaled for the calibration threshold: MeasuredDigits as an integer,
// divided by 10 on voltmeter ranges 1 and 3 and by 100 on 2 and 4. Nothing above range 4, where
// the calibration dialog has no digit layout to take the reading in.
std::optional<int64_t> VoltmeterCalibrationValue(const InstrumentState& state);

} // namespace vr410
