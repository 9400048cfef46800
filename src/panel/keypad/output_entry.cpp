#include "panel/keypad/output_entry.h"

#include "panel/keypad/range_rules.h"
#include "protocol/function_codes.h"

namespace vr410 {

OutputEntry::OutputEntry(InstrumentState& state, KeypadHost& host) : State(state), Host(host) {}

void OutputEntry::MaskEditVoltageChange(bool typed) {
    // The field wears the current row's layout (the host lays it out before it sets a text);
    // the digits are brought to the row's count all the same, so a stale layout can never make
    // OutputDigits a digit short or long.
    const LimitedDigits limited = LimitOutputDigits(State.RangeIndex, Host.OutputFieldText());
    if (limited.Clamped) {
        State.OutputDigits = limited.Digits;
        Host.SetOutputFieldText(limited.Digits);
    }
    State.OutputDigits = limited.Digits;

    if (State.Mode == PanelMode::OutputEntry) {
        Host.VoltPrint(2);
    } else if (State.Mode == PanelMode::OutputOn) {
        Host.VoltPrint(1);
        Host.IssueCommand(FunctionCode::SetOutput);
    }
    // In measurement mode row 1 holds the reading and the output is not on: the value is only
    // kept for the next output entry, never drawn over the reading or sent.

    if (typed) {
        KeepCaretOnTypedDigit();
    }

    if (State.Mode == PanelMode::OutputOn && State.VoltmeterPercent) {
        Host.PrintPercent();
    }
}

void OutputEntry::MaskEditVoltageRetyped() {
    KeepCaretOnTypedDigit();
}

void OutputEntry::KeepCaretOnTypedDigit() {
    if (State.MoveCursor || EditKeyWasDelete) {
        return;
    }
    const int caret = Host.OutputCaretIndex();
    if (caret > 1) {
        Host.SetOutputCaretIndex(caret - 1);
    }
}

void OutputEntry::SE_FreqChange() {
    if (State.Mode == PanelMode::OutputEntry) {
        Host.FreqPrint(14, 1);
    }
}

} // namespace vr410
