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

Keypad::Keypad(InstrumentState& state, KeypadHost& host) : State_(state), Host_(host) {}

void Keypad::Press(PanelKey key) {
    if (key == PanelKey::SB_Shift) {
        Host_.SetKeyDown(PanelKey::SB_Shift, !Host_.IsKeyDown(PanelKey::SB_Shift));
        return;
    }
    if (KeyGroup(key) > 1) {
        Host_.SetKeyDown(key, true);
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
    if (!Host_.IsKeyDown(PanelKey::SB_Shift)) {
        return false;
    }
    Host_.SetKeyDown(PanelKey::SB_Shift, false);
    return true;
}

bool Keypad::RangeIsAc() const {
    return IsAcRow(State_.RangeIndex);
}

char16_t Keypad::RangeUnit() const {
    return State_.RangeIndex < RangeCount ? RangeTable[State_.RangeIndex].Unit : u' ';
}

void Keypad::VoltmeterKey(int queryInterval) {
    State_.KeepQueryInterval = 1;
    Host_.SetQueryInterval(queryInterval);
    Host_.IssueCommand(FunctionCode::VoltmeterControl);
    Host_.PrintMode();
}

void Keypad::SelectInput(uint8_t input) {
    if (State_.Mode == PanelMode::Measurement && State_.VoltmeterInput != input) {
        State_.VoltmeterInput = input;
        State_.VoltmeterDelta = 0;
        State_.VoltmeterPercent = 0;
        VoltmeterKey(QueryAfterInputChange);
    }
}

void Keypad::CancelWithHint(int column, int row, const char* hint) {
    Host_.PrintText(column, row, 4, Blanks2);
    Host_.SetCancelHint(hint);
    Host_.IssueCommand(FunctionCode::CancelZeroOrCalibration);
}

void Keypad::SB_ResetClick() {
    TakeShift();
    if (State_.Mode == PanelMode::OutputEntry) {
        State_.OkCalibr = 0;
        State_.CoefCalibr = 0;
        State_.OutputDigits = ResetDigits(State_.RangeIndex);
    }
    Host_.SetFreqPanelVisible(RangeIsAc());
    State_.Mode = PanelMode::OutputEntry;
    State_.VoltmeterDelta = 0;
    State_.VoltmeterPercent = 0;
    Host_.SetOutputEntryVisible(true);
    Host_.PrintMode();
    Host_.IssueCommand(FunctionCode::Reset);
}

void Keypad::SB_EnterClick() {
    if (TakeShift()) {
        if (State_.Mode == PanelMode::OutputEntry) {
            Host_.SetKeyDown(PanelKey::SB_Reset, true);
        } else if (State_.Mode == PanelMode::Measurement) {
            Host_.SetKeyDown(PanelKey::SB_Meas, true);
        }
        return;
    }
    if (State_.Mode == PanelMode::Measurement) {
        Host_.SetKeyDown(PanelKey::SB_Meas, true);
        return;
    }
    Host_.IssueCommand(FunctionCode::SetOutput);
    Host_.StartPredelOn();
}

void Keypad::SB_MeasClick() {
    if (TakeShift()) {
        ShiftedCalibration();
        return;
    }
    Host_.SetFreqPanelVisible(false);
    State_.Mode = PanelMode::Measurement;
    State_.KeepQueryInterval = 1;
    Host_.SetQueryInterval(QueryAfterInputChange);
    Host_.IssueCommand(FunctionCode::Measure);
    Host_.SetOutputEntryVisible(false);
    Host_.PrintMode();
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
        if (ShowsOutputValue(State_.Mode)) {
            State_.OutputDigits = ResetDigits(State_.RangeIndex);
            Host_.PrintMode();
        }
        return;
    }
    SelectInput(1);
}

void Keypad::SB_3Click() {
    if (TakeShift()) {
        if (ShowsOutputValue(State_.Mode)) {
            State_.OutputDigits = MaximumDigits(State_.RangeIndex);
            Host_.PrintMode();
        }
        return;
    }
    if (State_.Mode == PanelMode::Measurement) {
        State_.VoltmeterDelta = State_.VoltmeterDelta ? 0 : 1;
        State_.VoltmeterAuto = 0;
        VoltmeterKey(QueryAfterDisplayChange);
    }
}

void Keypad::SB_4Click() {
    if (!TakeShift()) {
        return;
    }
    if (RangeUnit() != u'A' || !ShowsOutputValue(State_.Mode)) {
        return;
    }
    // The panel's output entry means the instrument is reset: with the output on, reset it first,
    // as the range keys do, rather than leave the output on behind an entry screen.
    if (State_.Mode == PanelMode::OutputOn) {
        SB_ResetClick();
    }
    const char16_t kind = RangeTable[State_.RangeIndex].Kind;
    State_.Mode = PanelMode::OutputEntry;
    State_.RangeIndex = kind == u'+' ? 30 : kind == u'-' ? 31 : 32;
    Host_.SetFreqPanelVisible(RangeIsAc());
    Host_.PrintMode();
}

void Keypad::SB_5Click() {
    if (TakeShift()) {
        Host_.IssueCommand(FunctionCode::ReadParameters);
        Host_.OpenParamDialog();
        return;
    }
    if (State_.Mode == PanelMode::Measurement && !State_.VoltmeterDelta &&
        !State_.VoltmeterPercent) {
        State_.VoltmeterAuto = State_.VoltmeterAuto ? 0 : 1;
        Host_.IssueCommand(FunctionCode::VoltmeterControl);
        Host_.PrintMode();
    }
}

void Keypad::SB_RangeClick(int tag) {
    if (!TakeShift()) {
        return;
    }
    if (tag < 0 || tag > 4) {
        return;
    }
    if (State_.Mode == PanelMode::Measurement) {
        State_.VoltmeterRange = static_cast<uint8_t>(tag);
        State_.VoltmeterAuto = 0;
        Host_.IssueCommand(FunctionCode::VoltmeterControl);
        Host_.PrintMode();
        return;
    }
    const std::optional<uint8_t> row = RangeKeyRow(State_.RangeIndex, tag);
    if (!row) {
        return; // no range of the table: refused
    }
    if (*row == State_.RangeIndex) {
        // The value the display shows is the value the instrument is set to. In entry mode the
        // entry starts again from the row's preset, shown at once and sent by nobody; with the
        // output on, the output and the display stay as they are.
        if (State_.Mode == PanelMode::OutputEntry) {
            State_.OutputDigits = ResetDigits(*row);
            Host_.PrintMode();
        }
        return;
    }
    if (State_.Mode == PanelMode::OutputOn) {
        SB_ResetClick();
    }
    State_.Mode = PanelMode::OutputEntry;
    State_.RangeIndex = *row;
    State_.OutputDigits = ResetDigits(*row);
    Host_.SetFreqPanelVisible(RangeIsAc());
    Host_.PrintMode();
}

void Keypad::SB_PolarClick() {
    if (TakeShift()) {
        if (RangeIsAc()) {
            Host_.SetKeyDown(PanelKey::SB_Sin, true);
        }
        State_.ScreenOn = State_.ScreenOn ? 0 : 1;
        Host_.PrintGuard();
        Host_.IssueCommand(FunctionCode::Screen);
        return;
    }
    if (RangeIsAc()) {
        if (State_.Mode != PanelMode::OutputEntry) {
            Host_.SetKeyDown(PanelKey::SB_Sin, true);
            return;
        }
        Host_.SetFreqPanelVisible(false);
        State_.RangeIndex = RangeTable[State_.RangeIndex].AcDcPair;
        State_.OutputDigits = "00000000";
        Host_.SetOutputFieldText(State_.OutputDigits);
        Host_.PrintMode();
        return;
    }
    Host_.SetKeyDown(PanelKey::SB_Polar, true);
    if (State_.RangeIndex >= RangeCount) {
        return;
    }
    State_.RangeIndex = RangeTable[State_.RangeIndex].PolarityPair;
    const char16_t sign = RangeTable[State_.RangeIndex].Sign;
    const std::string signText(1, static_cast<char>(sign));
    if (State_.Mode == PanelMode::OutputEntry) {
        Host_.PrintText(1, 2, 4, signText);
    } else if (State_.Mode == PanelMode::OutputOn) {
        Host_.PrintText(1, 1, 4, signText);
        Host_.IssueCommand(FunctionCode::SetOutput);
    }
}

void Keypad::SB_SinClick() {
    if (TakeShift()) {
        if (!RangeIsAc()) {
            Host_.SetKeyDown(PanelKey::SB_Polar, true);
        }
        return;
    }
    if (RangeIsAc()) {
        Host_.SetKeyDown(PanelKey::SB_Sin, true);
        return;
    }
    if (State_.Mode != PanelMode::OutputEntry || State_.RangeIndex >= RangeCount) {
        Host_.SetKeyDown(PanelKey::SB_Polar, true);
        return;
    }
    Host_.SetFreqPanelVisible(true);
    State_.RangeIndex = RangeTable[State_.RangeIndex].AcDcPair;
    Host_.SetOutputFieldText("");
    State_.OutputDigits = "0010000";
    Host_.SetOutputFieldText(State_.OutputDigits);
    Host_.PrintMode();
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
    if (State_.Mode != PanelMode::OutputEntry || State_.RangeIndex >= RangeCount ||
        RangeUnit() == unit) {
        return;
    }
    const char16_t kind = RangeTable[State_.RangeIndex].Kind;
    if (kind != u'+' && kind != u'-' && kind != u'~') {
        return;
    }
    State_.RangeIndex = kind == u'+' ? rows.Plus : kind == u'-' ? rows.Minus : rows.Ac;
    // The value keeps its digits but must fit the new row: 50 A values exceed every other range.
    State_.OutputDigits = LimitOutputDigits(State_.RangeIndex, State_.OutputDigits).Digits;
    // The whole display, not only the value: the prompt's quantity letter and the field's layout
    // change with the row.
    Host_.PrintMode();
}

void Keypad::ShiftedPercent() {
    if (State_.Mode == PanelMode::Measurement) {
        State_.VoltmeterPercent = State_.VoltmeterPercent ? 0 : 1;
        State_.VoltmeterAuto = 0;
        VoltmeterKey(QueryAfterDisplayChange);
        return;
    }
    if (State_.Mode != PanelMode::OutputOn) {
        return;
    }
    if (State_.VoltmeterPercent) {
        State_.VoltmeterPercent = 0;
        Host_.PrintMode();
        return;
    }
    const int64_t value = OutputDigitsValue(State_.OutputDigits);
    if (value == 0 || State_.RangeIndex >= RangeCount) {
        return;
    }
    const RangeRow& range = RangeTable[State_.RangeIndex];
    State_.VoltmeterPercent = 1;
    Host_.SetPercentBase(static_cast<int32_t>(range.Sign == u'-' ? -value : value));
    Host_.CLRDisp(2);
    Host_.PrintText(1, 2, 4, "ј"); // the small delta glyph
    Host_.PrintText(2, 2, 4, range.Unit == u'V' ? "U=" : "I=");
    Host_.PrintPercent();
}

void Keypad::ShiftedOk() {
    if (RangeUnit() != u'A') {
        Host_.SetKeyDown(PanelKey::SB_U, true);
    }
    if (ShowsOutputValue(State_.Mode) && State_.OkCalibr) {
        State_.OkCalibr = 0;
        CancelWithHint(19, State_.Mode == PanelMode::OutputEntry ? 1 : 2, "1");
        return;
    }
    if (State_.Mode == PanelMode::OutputOn) {
        const std::optional<ZeroDialogEntry> entry = FindZeroDialogEntry(State_.RangeIndex);
        if (!entry) {
            return;
        }
        const std::string label = std::string(1, entry->Letter) + static_cast<char>(RangeUnit());
        const OkCalResult result = Host_.OpenOkCalDialog(entry->Decimals, label);
        if (result.Accepted && result.Value != 0.0) {
            State_.OkCalibr = 1;
            Host_.PrintText(19, 2, 4, "Ок");
            Host_.IssueCommand(FunctionCode::CalibratorZero);
        } else {
            State_.OkCalibr = 0;
            CancelWithHint(19, 2, "1");
        }
        return;
    }
    if (State_.Mode == PanelMode::Measurement) {
        uint8_t& inputZero = State_.VoltmeterInput == 0 ? State_.OkInput1 : State_.OkInput2;
        if (inputZero) {
            inputZero = 0;
            CancelWithHint(19, 2, "1");
        } else {
            inputZero = 1;
            Host_.PrintText(19, 2, 4, "Ok");
            Host_.IssueCommand(FunctionCode::VoltmeterZero);
        }
    }
}

void Keypad::ShiftedZeroSetting() {
    // Every panel mode offers it.
    switch (Host_.Confirm(ConfirmKind::ZeroSetting)) {
    case ConfirmAnswer::Yes:
        State_.CalibrationKind = 2;
        break;
    case ConfirmAnswer::No:
        State_.CalibrationKind = 3;
        break;
    case ConfirmAnswer::Cancel:
        State_.CalibrationKind = 0;
        break;
    }
    if (State_.CalibrationKind != 0) {
        Host_.IssueCommand(FunctionCode::Calibrate);
    }
}

void Keypad::ShiftedCalibration() {
    if (State_.Mode == PanelMode::OutputEntry) {
        Host_.SetKeyDown(PanelKey::SB_Reset, true);
        if (Host_.Confirm(ConfirmKind::AutoCalibration) == ConfirmAnswer::Yes) {
            State_.CalibrationKind = 1;
            Host_.IssueCommand(FunctionCode::Calibrate);
        }
        return;
    }
    if (State_.Mode == PanelMode::OutputOn) {
        Host_.SetKeyDown(PanelKey::SB_Enter, true);
        if (State_.CoefCalibr) {
            State_.CoefCalibr = 0;
            CancelWithHint(16, 2, "2");
        } else if (OutputDigitsValue(State_.OutputDigits) >= CalibrationThreshold &&
                   Host_.OpenCalibrationDialog()) {
            Host_.IssueCommand(FunctionCode::UserCalibration);
        }
        return;
    }
    if (State_.Mode == PanelMode::Measurement) {
        if (State_.CoefComp) {
            State_.CoefComp = 0;
            CancelWithHint(16, 2, "2");
            return;
        }
        const std::optional<int64_t> value = VoltmeterCalibrationValue(State_);
        if (value && *value >= CalibrationThreshold && Host_.OpenCalibrationDialog()) {
            Host_.IssueCommand(FunctionCode::UserCalibration);
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
