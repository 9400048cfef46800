// The output value field's and the frequency field's change handling: clamping the typed value
// to the range, keeping OutputDigits and the display in step, and sending it while the output is
// on. No widgets here; the field widgets call these handlers.
#pragma once

#include "panel/keypad/keypad_host.h"
#include "protocol/instrument_state.h"

#include <string>

namespace vr410 {

class OutputEntry {
  public:
    OutputEntry(InstrumentState& state, KeypadHost& host);

    // Runs on every change of the output value field's digits. typed is true when a key typed in
    // the field caused the change, false when the program set the text; only a typed change moves
    // the caret back (and so only once when a clamp runs the handling again inside itself).
    void MaskEditVoltageChange(bool typed = true);
    // Puts digits read from the instrument into the output value field. The field and
    // OutputDigits then hold them as read, even outside the entry limits, which are for what the
    // operator types; the value row is redrawn as after any change, and nothing is sent in any
    // mode: the instrument already holds this value, and a set-output request here would be one
    // the operator never asked for.
    void ShowInstrumentValue(const std::string& digits);
    // Runs when a digit was typed over the same digit: nothing changed, so nothing is drawn or
    // sent; only the caret keeps to the typed digit as after a change.
    void MaskEditVoltageRetyped();
    // Notes whether the key just pressed in the field is Backspace or Delete.
    void MaskEditVoltageKeyDown(bool backspaceOrDelete) { EditKeyWasDelete_ = backspaceOrDelete; }
    // Runs on every change of the frequency field: redraws the frequency in output entry only.
    void SE_FreqChange();

    bool LastKeyWasDelete() const { return EditKeyWasDelete_; }

  private:
    // Without cursor movement the caret steps back onto the digit just typed.
    void KeepCaretOnTypedDigit();

    InstrumentState& State_;
    KeypadHost& Host_;
    bool EditKeyWasDelete_ = false;
    // Set while ShowInstrumentValue puts its digits into the field.
    bool ShowingInstrumentValue_ = false;
};

} // namespace vr410
