#include "panel/keypad/output_entry.h"

#include "panel/keypad/range_rules.h"
#include "protocol/function_codes.h"

namespace vr410 {

OutputEntry::OutputEntry(InstrumentState& state, KeypadHost& host) : State_(state), Host_(host) {}

void OutputEntry::MaskEditVoltageChange(bool typed) {
    // The field wears the current row's layout (the host lays it out before it sets a text);
    // the digits are brought to the row's count all the same, so a stale layout can never make
    // OutputDigits a digit short or long.
    if (ShowingInstrumentValue_) {
        State_.OutputDigits = OutputFieldDigits(State_.RangeIndex, Host_.OutputFieldText());
    } else {
        const LimitedDigits limited = LimitOutputDigits(State_.RangeIndex, Host_.OutputFieldText());
        if (limited.Clamped) {
            State_.OutputDigits = limited.Digits;
            Host_.SetOutputFieldText(limited.Digits);
        }
        State_.OutputDigits = limited.Digits;
    }

    if (State_.Mode == PanelMode::OutputEntry) {
        Host_.VoltPrint(2);
    } else if (State_.Mode == PanelMode::OutputOn) {
        Host_.VoltPrint(1);
        if (!ShowingInstrumentValue_) {
            Host_.IssueCommand(FunctionCode::SetOutput);
        }
    }
    // In measurement mode row 1 holds the reading and the output is not on: the value is only
    // kept for the next output entry, never drawn over the reading or sent.

    if (typed) {
        KeepCaretOnTypedDigit();
    }

    if (State_.Mode == PanelMode::OutputOn && State_.VoltmeterPercent) {
        Host_.PrintPercent();
    }
}

void OutputEntry::ShowInstrumentValue(const std::string& digits) {
    ShowingInstrumentValue_ = true;
    Host_.SetOutputFieldText(digits);
    ShowingInstrumentValue_ = false;
}

void OutputEntry::MaskEditVoltageRetyped() {
    KeepCaretOnTypedDigit();
}

void OutputEntry::KeepCaretOnTypedDigit() {
    if (State_.MoveCursor || EditKeyWasDelete_) {
        return;
    }
    const int caret = Host_.OutputCaretIndex();
    if (caret > 1) {
        Host_.SetOutputCaretIndex(caret - 1);
    }
}

void OutputEntry::SE_FreqChange() {
    if (State_.Mode == PanelMode::OutputEntry) {
        Host_.FreqPrint(14, 1);
    }
}

} // namespace vr410
