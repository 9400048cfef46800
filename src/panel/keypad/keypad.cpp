#include "panel/keypad/keypad.h"

#include "panel/keypad/range_rules.h"
#include "protocol/function_codes.h"
#include "protocol/range_table.h"

namespace vr410 {
namespace {

// TimerQuery intervals after a voltmeter key: the instrument needs time to settle.
constexpr int QueryAfterInputChange = 4000;
constexpr int QueryAfterDisplayChange = 1000;

const char* const Blanks2 = "  ";

} // namespace

Keypad::Keypad(InstrumentState& state, KeypadHost& host) : State(state), Host(host) {}

void Keypad::Press(PanelKey key) {
    if (key == PanelKey::SB_Shift) {
        Host.SetKeyDown(PanelKey::SB_Shift, !Host.IsKeyDown(PanelKey::SB_Shift));
        return;
    }
    if (KeyGroup(key) > 1) {
        Host.SetKeyDown(key, true);
    }
    switch (key) {
    case PanelKey::SB_Enter:
        return SB_EnterClick();
    case PanelKey::SB_1:
        return SB_1Click();
    case PanelKey::SB_2:
        return SB_2Click();
    case PanelKey::SB_3:
        return SB_3Click();
    case PanelKey::SB_4:
        return SB_4Click();
    case PanelKey::SB_5:
        return SB_5Click();
    case PanelKey::SB_6:
        return SB_RangeClick(0);
    case PanelKey::SB_7:
        return SB_RangeClick(1);
    case PanelKey::SB_8:
        return SB_RangeClick(2);
    case PanelKey::SB_9:
        return SB_RangeClick(3);
    case PanelKey::SB_0:
        return SB_RangeClick(4);
    case PanelKey::SB_Reset:
        return SB_ResetClick();
    case PanelKey::SB_Polar:
        return SB_PolarClick();
    case PanelKey::SB_Sin:
        return SB_SinClick();
    case PanelKey::SB_I:
        return SB_IClick();
    case PanelKey::SB_U:
        return SB_UClick();
    case PanelKey::SB_Meas:
        return SB_MeasClick();
    case PanelKey::SB_Shift:
        return;
    }
}

bool Keypad::TakeShift() {
    if (!Host.IsKeyDown(PanelKey::SB_Shift)) {
        return false;
    }
    Host.SetKeyDown(PanelKey::SB_Shift, false);
    return true;
}

bool Keypad::RangeIsAc() const {
    return IsAcRow(State.RangeIndex);
}

char16_t Keypad::RangeUnit() const {
    return State.RangeIndex < RangeCount ? RangeTable[State.RangeIndex].Unit : u' ';
}

void Keypad::VoltmeterKey(int queryInterval) {
    State.KeepQueryInterval = 1;
    Host.SetQueryInterval(queryInterval);
    Host.IssueCommand(FunctionCode::VoltmeterControl);
    Host.PrintMode();
}

void Keypad::SelectInput(uint8_t input) {
    if (State.Mode == PanelMode::Measurement && State.VoltmeterInput != input) {
        State.VoltmeterInput = input;
        State.VoltmeterDelta = 0;
        State.VoltmeterPercent = 0;
        VoltmeterKey(QueryAfterInputChange);
    }
}

void Keypad::CancelWithHint(int column, int row, const char* hint) {
    Host.PrintText(column, row, 4, Blanks2);
    Host.SetCancelHint(hint);
    Host.IssueCommand(FunctionCode::CancelZeroOrCalibration);
}

void Keypad::SB_ResetClick() {
    TakeShift();
    if (State.Mode == PanelMode::OutputEntry) {
        State.OkCalibr = 0;
        State.CoefCalibr = 0;
        State.OutputDigits = ResetDigits(State.RangeIndex);
    }
    Host.SetFreqPanelVisible(RangeIsAc());
    State.Mode = PanelMode::OutputEntry;
    State.VoltmeterDelta = 0;
    State.VoltmeterPercent = 0;
    Host.SetOutputEntryVisible(true);
    Host.PrintMode();
    Host.IssueCommand(FunctionCode::Reset);
}

void Keypad::SB_EnterClick() {
    if (TakeShift()) {
        if (State.Mode == PanelMode::OutputEntry) {
            Host.SetKeyDown(PanelKey::SB_Reset, true);
        } else if (State.Mode == PanelMode::Measurement) {
            Host.SetKeyDown(PanelKey::SB_Meas, true);
        }
        return;
    }
    if (State.Mode == PanelMode::Measurement) {
        Host.SetKeyDown(PanelKey::SB_Meas, true);
        return;
    }
    Host.IssueCommand(FunctionCode::SetOutput);
    Host.StartPredelOn();
}

void Keypad::SB_MeasClick() {
    if (TakeShift()) {
        ShiftedCalibration();
        return;
    }
    Host.SetFreqPanelVisible(false);
    State.Mode = PanelMode::Measurement;
    State.KeepQueryInterval = 1;
    Host.SetQueryInterval(QueryAfterInputChange);
    Host.IssueCommand(FunctionCode::Measure);
    Host.SetOutputEntryVisible(false);
    Host.PrintMode();
}

void Keypad::SB_1Click() {
    if (TakeShift()) {
        ShiftedPercent();
        return;
    }
    SelectInput(0);
}

void Keypad::SB_2Click() {
    if (TakeShift()) {
        if (ShowsOutputValue(State.Mode)) {
            State.OutputDigits = ResetDigits(State.RangeIndex);
            Host.PrintMode();
        }
        return;
    }
    SelectInput(1);
}

void Keypad::SB_3Click() {
    if (TakeShift()) {
        if (ShowsOutputValue(State.Mode)) {
            State.OutputDigits = MaximumDigits(State.RangeIndex);
            Host.PrintMode();
        }
        return;
    }
    if (State.Mode == PanelMode::Measurement) {
        State.VoltmeterDelta = State.VoltmeterDelta ? 0 : 1;
        State.VoltmeterAuto = 0;
        VoltmeterKey(QueryAfterDisplayChange);
    }
}

void Keypad::SB_4Click() {
    if (!TakeShift()) {
        return;
    }
    if (RangeUnit() != u'A' || !ShowsOutputValue(State.Mode)) {
        return;
    }
    // The panel's output entry means the instrument is reset: with the output on, reset it first,
    // as the range keys do, rather than leave the output on behind an entry screen.
    if (State.Mode == PanelMode::OutputOn) {
        SB_ResetClick();
    }
    const char16_t kind = RangeTable[State.RangeIndex].Kind;
    State.Mode = PanelMode::OutputEntry;
    State.RangeIndex = kind == u'+' ? 30 : kind == u'-' ? 31 : 32;
    Host.SetFreqPanelVisible(RangeIsAc());
    Host.PrintMode();
}

void Keypad::SB_5Click() {
    if (TakeShift()) {
        Host.IssueCommand(FunctionCode::ReadParameters);
        Host.OpenParamDialog();
        return;
    }
    if (State.Mode == PanelMode::Measurement && !State.VoltmeterDelta && !State.VoltmeterPercent) {
        State.VoltmeterAuto = State.VoltmeterAuto ? 0 : 1;
        Host.IssueCommand(FunctionCode::VoltmeterControl);
        Host.PrintMode();
    }
}

void Keypad::SB_RangeClick(int tag) {
    if (!TakeShift()) {
        return;
    }
    if (tag < 0 || tag > 4) {
        return;
    }
    if (State.Mode == PanelMode::Measurement) {
        State.VoltmeterRange = static_cast<uint8_t>(tag);
        State.VoltmeterAuto = 0;
        Host.IssueCommand(FunctionCode::VoltmeterControl);
        Host.PrintMode();
        return;
    }
    const std::optional<uint8_t> row = RangeKeyRow(State.RangeIndex, tag);
    if (!row) {
        return; // no range of the table: refused
    }
    if (*row == State.RangeIndex) {
        // The value the display shows is the value the instrument is set to. In entry mode the
        // entry starts again from the row's preset, shown at once and sent by nobody; with the
        // output on, the output and the display stay as they are.
        if (State.Mode == PanelMode::OutputEntry) {
            State.OutputDigits = ResetDigits(*row);
            Host.PrintMode();
        }
        return;
    }
    if (State.Mode == PanelMode::OutputOn) {
        SB_ResetClick();
    }
    State.Mode = PanelMode::OutputEntry;
    State.RangeIndex = *row;
    State.OutputDigits = ResetDigits(*row);
    Host.SetFreqPanelVisible(RangeIsAc());
    Host.PrintMode();
}

void Keypad::SB_PolarClick() {
    if (TakeShift()) {
        if (RangeIsAc()) {
            Host.SetKeyDown(PanelKey::SB_Sin, true);
        }
        State.ScreenOn = State.ScreenOn ? 0 : 1;
        Host.PrintGuard();
        Host.IssueCommand(FunctionCode::Screen);
        return;
    }
    if (RangeIsAc()) {
        if (State.Mode != PanelMode::OutputEntry) {
            Host.SetKeyDown(PanelKey::SB_Sin, true);
            return;
        }
        Host.SetFreqPanelVisible(false);
        State.RangeIndex = RangeTable[State.RangeIndex].AcDcPair;
        State.OutputDigits = "00000000";
        Host.SetOutputFieldText(State.OutputDigits);
        Host.PrintMode();
        return;
    }
    Host.SetKeyDown(PanelKey::SB_Polar, true);
    if (State.RangeIndex >= RangeCount) {
        return;
    }
    State.RangeIndex = RangeTable[State.RangeIndex].PolarityPair;
    const char16_t sign = RangeTable[State.RangeIndex].Sign;
    const std::string signText(1, static_cast<char>(sign));
    if (State.Mode == PanelMode::OutputEntry) {
        Host.PrintText(1, 2, 4, signText);
    } else if (State.Mode == PanelMode::OutputOn) {
        Host.PrintText(1, 1, 4, signText);
        Host.IssueCommand(FunctionCode::SetOutput);
    }
}

void Keypad::SB_SinClick() {
    if (TakeShift()) {
        if (!RangeIsAc()) {
            Host.SetKeyDown(PanelKey::SB_Polar, true);
        }
        return;
    }
    if (RangeIsAc()) {
        Host.SetKeyDown(PanelKey::SB_Sin, true);
        return;
    }
    if (State.Mode != PanelMode::OutputEntry || State.RangeIndex >= RangeCount) {
        Host.SetKeyDown(PanelKey::SB_Polar, true);
        return;
    }
    Host.SetFreqPanelVisible(true);
    State.RangeIndex = RangeTable[State.RangeIndex].AcDcPair;
    Host.SetOutputFieldText("");
    State.OutputDigits = "0010000";
    Host.SetOutputFieldText(State.OutputDigits);
    Host.PrintMode();
}

void Keypad::SB_UClick() {
    if (TakeShift()) {
        ShiftedZeroSetting();
        return;
    }
    // The 10 V row whose shown sign equals the current one.
    QuantityKey(u'V', {.Plus = 7, .Minus = 2, .Ac = 22});
}

void Keypad::SB_IClick() {
    if (TakeShift()) {
        ShiftedOk();
        return;
    }
    // The 100 mA row whose shown sign equals the current one.
    QuantityKey(u'A', {.Plus = 17, .Minus = 12, .Ac = 27});
}

void Keypad::QuantityKey(char16_t unit, QuantityRows rows) {
    if (State.Mode != PanelMode::OutputEntry || State.RangeIndex >= RangeCount ||
        RangeUnit() == unit) {
        return;
    }
    const char16_t kind = RangeTable[State.RangeIndex].Kind;
    if (kind != u'+' && kind != u'-' && kind != u'~') {
        return;
    }
    State.RangeIndex = kind == u'+' ? rows.Plus : kind == u'-' ? rows.Minus : rows.Ac;
    // The value keeps its digits but must fit the new row: 50 A values exceed every other range.
    State.OutputDigits = LimitOutputDigits(State.RangeIndex, State.OutputDigits).Digits;
    // The whole display, not only the value: the prompt's quantity letter and the field's layout
    // change with the row.
    Host.PrintMode();
}

void Keypad::ShiftedPercent() {
    if (State.Mode == PanelMode::Measurement) {
        State.VoltmeterPercent = State.VoltmeterPercent ? 0 : 1;
        State.VoltmeterAuto = 0;
        VoltmeterKey(QueryAfterDisplayChange);
        return;
    }
    if (State.Mode != PanelMode::OutputOn) {
        return;
    }
    if (State.VoltmeterPercent) {
        State.VoltmeterPercent = 0;
        Host.PrintMode();
        return;
    }
    const int64_t value = OutputDigitsValue(State.OutputDigits);
    if (value == 0 || State.RangeIndex >= RangeCount) {
        return;
    }
    const RangeRow& range = RangeTable[State.RangeIndex];
    State.VoltmeterPercent = 1;
    Host.SetPercentBase(static_cast<int32_t>(range.Sign == u'-' ? -value : value));
    Host.CLRDisp(2);
    Host.PrintText(1, 2, 4, "ј"); // the small delta glyph
    Host.PrintText(2, 2, 4, range.Unit == u'V' ? "U=" : "I=");
    Host.PrintPercent();
}

void Keypad::ShiftedOk() {
    if (RangeUnit() != u'A') {
        Host.SetKeyDown(PanelKey::SB_U, true);
    }
    if (ShowsOutputValue(State.Mode) && State.OkCalibr) {
        State.OkCalibr = 0;
        CancelWithHint(19, State.Mode == PanelMode::OutputEntry ? 1 : 2, "1");
        return;
    }
    if (State.Mode == PanelMode::OutputOn) {
        const std::optional<ZeroDialogEntry> entry = FindZeroDialogEntry(State.RangeIndex);
        if (!entry) {
            return;
        }
        const std::string label = std::string(1, entry->Letter) + static_cast<char>(RangeUnit());
        const OkCalResult result = Host.OpenOkCalDialog(entry->Decimals, label);
        if (result.Accepted && result.Value != 0.0) {
            State.OkCalibr = 1;
            Host.PrintText(19, 2, 4, "Ок");
            Host.IssueCommand(FunctionCode::CalibratorZero);
        } else {
            State.OkCalibr = 0;
            CancelWithHint(19, 2, "1");
        }
        return;
    }
    if (State.Mode == PanelMode::Measurement) {
        uint8_t& inputZero = State.VoltmeterInput == 0 ? State.OkInput1 : State.OkInput2;
        if (inputZero) {
            inputZero = 0;
            CancelWithHint(19, 2, "1");
        } else {
            inputZero = 1;
            Host.PrintText(19, 2, 4, "Ok");
            Host.IssueCommand(FunctionCode::VoltmeterZero);
        }
    }
}

void Keypad::ShiftedZeroSetting() {
    // Every panel mode offers it.
    switch (Host.Confirm(ConfirmKind::ZeroSetting)) {
    case ConfirmAnswer::Yes:
        State.CalibrationKind = 2;
        break;
    case ConfirmAnswer::No:
        State.CalibrationKind = 3;
        break;
    case ConfirmAnswer::Cancel:
        State.CalibrationKind = 0;
        break;
    }
    if (State.CalibrationKind != 0) {
        Host.IssueCommand(FunctionCode::Calibrate);
    }
}

void Keypad::ShiftedCalibration() {
    if (State.Mode == PanelMode::OutputEntry) {
        Host.SetKeyDown(PanelKey::SB_Reset, true);
        if (Host.Confirm(ConfirmKind::AutoCalibration) == ConfirmAnswer::Yes) {
            State.CalibrationKind = 1;
            Host.IssueCommand(FunctionCode::Calibrate);
        }
        return;
    }
    if (State.Mode == PanelMode::OutputOn) {
        Host.SetKeyDown(PanelKey::SB_Enter, true);
        if (State.CoefCalibr) {
            State.CoefCalibr = 0;
            CancelWithHint(16, 2, "2");
        } else if (OutputDigitsValue(State.OutputDigits) >= CalibrationThreshold &&
                   Host.OpenCalibrationDialog()) {
            Host.IssueCommand(FunctionCode::UserCalibration);
        }
        return;
    }
    if (State.Mode == PanelMode::Measurement) {
        if (State.CoefComp) {
            State.CoefComp = 0;
            CancelWithHint(16, 2, "2");
            return;
        }
        const std::optional<int64_t> value = VoltmeterCalibrationValue(State);
        if (value && *value >= CalibrationThreshold && Host.OpenCalibrationDialog()) {
            Host.IssueCommand(FunctionCode::UserCalibration);
        }
    }
}

std::optional<int64_t> VoltmeterCalibrationValue(const InstrumentState& state) {
    const int64_t reading = OutputDigitsValue(state.MeasuredDigits);
    switch (state.VoltmeterRange) {
    case 0:
        return reading;
    case 1:
    case 3:
        return reading / 10;
    case 2:
    case 4:
        return reading / 100;
    default:
        return std::nullopt;
    }
}

} // namespace vr410
