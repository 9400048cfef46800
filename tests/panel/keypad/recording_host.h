// A main window stand-in for the keypad and entry tests: it records what the keys ask of the
// window, keeps the key latches, and holds an output field that runs the change handling as the
// real field does (program sets that change the text run it nested).
#pragma once

#include "panel/keypad/edit_mask.h"
#include "panel/keypad/key_latches.h"
#include "panel/keypad/keypad_host.h"
#include "panel/keypad/output_entry.h"
#include "protocol/instrument_state.h"
#include "protocol/range_table.h"

#include <deque>
#include <string>
#include <vector>

namespace vr410::test {

// A plain layout of the row: the digits with the point after PointPos - 1 of them, then the
// prefix and the unit; enough for the entry rules, which never look at separators.
inline QString PlainMask(const InstrumentState& state) {
    const RangeRow& row = RangeTable[state.RangeIndex];
    const int digits = IsAcRow(state.RangeIndex) ? 7 : 8;
    QString mask;
    for (int i = 1; i <= digits; ++i) {
        mask += u'0';
        if (i + 1 == row.PointPos) {
            mask += QStringLiteral("\\.");
        }
    }
    if (row.Prefix != u' ') {
        mask += u'\\';
        mask += QChar(row.Prefix);
    }
    mask += u'\\';
    mask += QChar(row.Unit);
    return mask + QStringLiteral(";0;0");
}

class RecordingHost : public KeypadHost {
  public:
    explicit RecordingHost(InstrumentState& state) : State(state) {
        Field.SetMask(PlainMask(state));
        Field.SetDigits(QString::fromStdString(state.OutputDigits));
    }

    // The entry whose change handling the field runs; set by the test.
    OutputEntry* Entry = nullptr;

    std::vector<std::string> Log;      // every call, in order
    std::vector<int> Commands;         // issued function codes, in order
    std::vector<ConfirmKind> Asked;    // confirmation boxes shown
    std::deque<ConfirmAnswer> Answers; // answers for the boxes; Cancel when empty
    OkCalResult OkCalAnswer;
    bool CalibrationAnswer = false;
    int OkCalOpened = 0;
    std::string OkCalLabel;
    int OkCalDecimals = -1;
    int CalibrationOpened = 0;
    int ParamOpened = 0;
    std::string CancelHint;
    int QueryInterval = 0;
    int32_t PercentBase = 0;
    bool FreqPanelVisible = false;
    bool OutputEntryVisible = true;
    KeyLatches Keys;
    EditMask Field;
    int Caret = 0;

    void IssueCommand(uint8_t code) override {
        Commands.push_back(code);
        Log.push_back("command " + std::to_string(code));
    }
    void SetCancelHint(const std::string& hint) override {
        CancelHint = hint;
        Log.push_back("hint " + hint);
    }
    void SetQueryInterval(int ms) override {
        QueryInterval = ms;
        Log.push_back("query " + std::to_string(ms));
    }
    void StartPredelOn() override { Log.push_back("predel on"); }

    // Like the display's PrintMode: latches the keys of the range and, in Modes 0 and 1, lays
    // out the field and puts OutputDigits into it.
    void PrintMode() override {
        Log.push_back("PrintMode");
        const bool ac = IsAcRow(State.RangeIndex);
        Keys.SetDown(ac ? PanelKey::SB_Sin : PanelKey::SB_Polar, true);
        Keys.SetDown(RangeTable[State.RangeIndex].Unit == u'V' ? PanelKey::SB_U : PanelKey::SB_I,
                     true);
        if (State.Mode == PanelMode::OutputEntry) {
            Keys.SetDown(PanelKey::SB_Reset, true);
        }
        if (ShowsOutputValue(State.Mode)) {
            Field.SetMask(PlainMask(State));
            SetOutputFieldText(State.OutputDigits);
        }
    }
    void VoltPrint(int row) override { Log.push_back("VoltPrint " + std::to_string(row)); }
    void FreqPrint(int column, int row) override {
        Log.push_back("FreqPrint " + std::to_string(column) + "," + std::to_string(row));
    }
    void PrintGuard() override { Log.push_back("PrintGuard"); }
    void PrintPercent() override { Log.push_back("PrintPercent"); }
    void SetPercentBase(int32_t base) override { PercentBase = base; }
    void CLRDisp(int row) override { Log.push_back("CLRDisp " + std::to_string(row)); }
    void PrintText(int column, int row, int width, const std::string& text) override {
        Log.push_back("PrintText " + std::to_string(column) + "," + std::to_string(row) + "," +
                      std::to_string(width) + " '" + text + "'");
    }

    void SetFreqPanelVisible(bool visible) override { FreqPanelVisible = visible; }
    void SetOutputEntryVisible(bool visible) override { OutputEntryVisible = visible; }
    void SetOutputFieldText(const std::string& digits) override {
        const QString before = Field.Text();
        Field.SetDigits(QString::fromStdString(digits));
        if (Field.Text() != before && Entry != nullptr) {
            Entry->MaskEditVoltageChange(false);
        }
    }
    std::string OutputFieldText() const override { return Field.Text().toStdString(); }
    int OutputCaretIndex() const override { return Caret; }
    void SetOutputCaretIndex(int index) override { Caret = index; }

    bool IsKeyDown(PanelKey key) const override { return Keys.IsDown(key); }
    void SetKeyDown(PanelKey key, bool down) override { Keys.SetDown(key, down); }

    ConfirmAnswer Confirm(ConfirmKind kind) override {
        Asked.push_back(kind);
        if (Answers.empty()) {
            return ConfirmAnswer::Cancel;
        }
        const ConfirmAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void OpenParamDialog() override {
        ++ParamOpened;
        Log.push_back("TFormParam");
    }
    OkCalResult OpenOkCalDialog(int decimals, const std::string& label) override {
        ++OkCalOpened;
        OkCalDecimals = decimals;
        OkCalLabel = label;
        return OkCalAnswer;
    }
    bool OpenCalibrationDialog() override {
        ++CalibrationOpened;
        return CalibrationAnswer;
    }

    // Types one digit into the field at the caret, as the field widget does.
    void TypeDigit(char digit) {
        Entry->MaskEditVoltageKeyDown(false);
        const QString before = Field.Digits();
        const int next = Field.TypeDigit(Caret, QChar(digit));
        if (next >= 0) {
            Caret = next;
            if (Field.Digits() != before) {
                Entry->MaskEditVoltageChange(true);
            } else {
                Entry->MaskEditVoltageRetyped();
            }
        }
    }
    void PressBackspace() {
        Entry->MaskEditVoltageKeyDown(true);
        const QString before = Field.Digits();
        Caret = Field.Backspace(Caret);
        if (Field.Digits() != before) {
            Entry->MaskEditVoltageChange(true);
        }
    }

  private:
    InstrumentState& State;
};

} // namespace vr410::test
