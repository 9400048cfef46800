// What the keypad and the output value entry need of the main window: issuing commands, the
// polling timers, the display renderers, the entry controls, the key latches and the dialogs.
// The main window implements it; tests implement it with a recording host.
#pragma once

#include "panel/keypad/key_latches.h"

#include <cstdint>
#include <string>

namespace vr410 {

// Which confirmation box a key asks.
enum class ConfirmKind {
    AutoCalibration, // "Калибровка" in output entry: "Да" / "Отмена"
    ZeroSetting,     // "Установка О": "Текущий" / "Полная" / "Отмена"
};

// The button that closed a confirmation box. Yes is "Да" or "Текущий", No is "Полная",
// Cancel is "Отмена" or closing the box.
enum class ConfirmAnswer { Yes, No, Cancel };

// Outcome of the complete-zero dialog: accepted with OK, and the zero value entered.
struct OkCalResult {
    bool Accepted = false;
    double Value = 0.0;
};

class KeypadHost {
  public:
    virtual ~KeypadHost() = default;

    // Commands and timers of the exchange cycle.
    // Selects the command with this function code and starts its transmission.
    virtual void IssueCommand(uint8_t code) = 0;
    // Sets the hint of the cancel item Ok_Reset: "1" cancels the complete zero, "2" the user
    // calibration.
    virtual void SetCancelHint(const std::string& hint) = 0;
    // Sets the interval of the measurement poll timer TimerQuery (its state is left alone).
    virtual void SetQueryInterval(int ms) = 0;
    // Enables the one-shot output-on timer TimerPredelOn (300 ms).
    virtual void StartPredelOn() = 0;

    // Display renderers and the text layer; texts are UTF-8.
    virtual void PrintMode() = 0;
    virtual void VoltPrint(int row) = 0;
    virtual void FreqPrint(int column, int row) = 0;
    virtual void PrintGuard() = 0;
    virtual void PrintPercent() = 0;
    virtual void SetPercentBase(int32_t base) = 0;
    virtual void CLRDisp(int row) = 0;
    virtual void PrintText(int column, int row, int width, const std::string& text) = 0;

    // Entry controls under the display.
    virtual void SetFreqPanelVisible(bool visible) = 0;             // PanelFreq
    virtual void SetOutputEntryVisible(bool visible) = 0;           // Label9 and MaskEditVoltage
    virtual void SetOutputFieldText(const std::string& digits) = 0; // runs the change handling
    virtual std::string OutputFieldText() const = 0;                // as shown, literals included
    virtual int OutputCaretIndex() const = 0;                       // characters before the caret
    virtual void SetOutputCaretIndex(int index) = 0;

    // Latched state of the keypad buttons.
    virtual bool IsKeyDown(PanelKey key) const = 0;
    // Latches key (releasing the others of its group) or releases it.
    virtual void SetKeyDown(PanelKey key, bool down) = 0;

    // Modal boxes and dialogs.
    virtual ConfirmAnswer Confirm(ConfirmKind kind) = 0;
    // Shows the parameters dialog TFormParam.
    virtual void OpenParamDialog() = 0;
    // Shows the complete-zero dialog TFormOkCal with that many decimals and the unit label.
    virtual OkCalResult OpenOkCalDialog(int decimals, const std::string& label) = 0;
    // Shows the user calibration dialog TFormCalibration; true when it closed with Yes.
    virtual bool OpenCalibrationDialog() = 0;
};

} // namespace vr410
