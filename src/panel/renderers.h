// The renderers that turn the instrument state into the instrument's display: the three
// mode screens, the output value with the output field's edit mask, the frequency, the
// display-on indicator, the relative deviation and the voltmeter readings.
#pragma once

#include "panel/display_writer.h"
#include "panel/panel_controls.h"
#include "protocol/instrument_state.h"
#include "protocol/range_table.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vr410 {

// Clears both rows and puts the box glyph, the reading activity mark, at column 23 of row 2:
// the display as the program starts.
void DrawStartupDisplay(DisplayWriter& display);

// The reference of the relative display: OutputDigits as a number, negated when the range's
// sign is "-". The "%" key stores it with SetPercentBase.
int32_t PercentBaseOf(const InstrumentState& state);

class PanelRenderer {
  public:
    // Keeps the three references; all of them must outlive the renderer.
    PanelRenderer(InstrumentState& state, DisplayWriter& display, PanelControls& controls);

    // Redraws both rows for the current Mode from empty rows, latches the keypad to the range
    // (and SB_Reset in output entry) and, where the mode shows the output value, gives the
    // output field OutputEditMask and OutputDigits. frequencyText is the text of the frequency
    // field. In measurement with a difference measurement it clears VoltmeterAuto.
    void PrintMode(std::string_view frequencyText);

    // Draws the output value in row (1 or 2) and rebuilds OutputEditMask.
    void VoltPrint(int row);

    // Draws "F=", the frequency field's text and "Гц" at column, row.
    void FreqPrint(int column, int row, std::string_view frequencyText);

    // Draws "Э" (display on) or a blank at column 22 of the row the mode and SB_Sin call for.
    void PrintGuard();

    // Draws the relative deviation of the output value from PercentBase in row 2 (output on).
    void PrintPercent();

    // Draws MeasuredDigits as a reading of the voltmeter range in row 1, then flips the
    // activity mark. The sign at column 1 is written before, by the answer decoding.
    void PrintUin();

    // Draws MeasuredDigits as a difference in per cent in row 1, then flips the activity mark.
    void PrintUperc();

    int32_t PercentBase() const { return PercentBaseValue_; }
    void SetPercentBase(int32_t base) { PercentBaseValue_ = base; }

    // The output field's mask as the last VoltPrint built it, e.g. "00\.000\m000\V;0;0".
    const std::string& OutputEditMask() const { return EditMask_; }

    // The decimal separator of the user's locale for PrintPercent (UTF-8); "." until set.
    void SetDecimalSeparator(std::string separator) { DecimalSeparator_ = std::move(separator); }

  private:
    void PrintModeOutputEntry(std::string_view frequencyText);
    void PrintModeOutputOn(std::string_view frequencyText);
    void PrintModeMeasurement();
    // The frequency from column 14 of row on an AC range; on a DC range the calibrator's user
    // calibration "K" at column 16 and complete zero "Ок" at column 19 when they are active.
    void PrintFrequencyOrCalibration(int row, std::string_view frequencyText);
    // Writes a digit separator at column (advancing it when the separator takes a position)
    // and adds its part to mask.
    void PrintSeparator(int& column, int row, const RangeRow& range, int separator,
                        std::string* mask);
    void PrintActivityMark();

    InstrumentState& State_;
    DisplayWriter& Display_;
    PanelControls& Controls_;
    int32_t PercentBaseValue_ = 0;
    std::string EditMask_;
    std::string DecimalSeparator_ = ".";
};

} // namespace vr410
