// The keypad's host in the main window: the widgets of this folder, the display (Panel4 through
// DisplayWriter) and its renderers, and the few actions only the window shell has (commands,
// timers, dialogs), handed in as ShellActions.
#pragma once

#include "panel/keypad/widget_keypad_host.h"
#include "protocol/instrument_state.h"

#include <functional>
#include <string>

namespace vr410 {

class DisplayWriter;
class PanelRenderer;

// The output value field's mask for the state's row, Mode-independent: the layout VoltPrint
// builds (digit places, point, separators, prefix, unit), computed without drawing anything.
std::string OutputEditMaskFor(const InstrumentState& state);

// What the window shell does for the keys. Unset dialog actions behave as a dialog closed
// without confirming.
struct ShellActions {
    std::function<void(uint8_t)> IssueCommand;             // the item of the code, then N11
    std::function<void(const std::string&)> SetCancelHint; // hint of Ok_Reset
    std::function<void(int)> SetQueryInterval;             // interval of TimerQuery
    std::function<void()> StartPredelOn;                   // enables TimerPredelOn
    std::function<void()> OpenParamDialog;                 // TFormParam, modal
    std::function<OkCalResult(int, const std::string&)> OpenOkCalDialog; // TFormOkCal, modal
    std::function<bool()> OpenCalibrationDialog; // TFormCalibration, modal; true on Yes
};

class PanelKeypadHost : public WidgetKeypadHost {
  public:
    // All references must outlive the host.
    PanelKeypadHost(const InstrumentState& state, Panel5& keys, OutputEntryBar& entry,
                    ConfirmationBox& confirm, PanelRenderer& renderer, DisplayWriter& display,
                    ShellActions actions);

    void IssueCommand(uint8_t code) override;
    void SetCancelHint(const std::string& hint) override;
    void SetQueryInterval(int ms) override;
    void StartPredelOn() override;

    // The renderers take the frequency as the text of SE_Freq.
    void PrintMode() override;
    void VoltPrint(int row) override;
    void FreqPrint(int column, int row) override;
    void PrintGuard() override;
    void PrintPercent() override;
    void SetPercentBase(int32_t base) override;
    void CLRDisp(int row) override;
    void PrintText(int column, int row, int width, const std::string& text) override;

    // Lays the field out for the current row first, then puts the digits in: a text set after
    // the row changed (by a key or by the instrument's answer) never meets the previous row's
    // digit count, which would cut or pad it.
    void SetOutputFieldText(const std::string& digits) override;

    void OpenParamDialog() override;
    OkCalResult OpenOkCalDialog(int decimals, const std::string& label) override;
    bool OpenCalibrationDialog() override;

    // The shell's actions; the dialogs put their own in when they exist, tests may stand in.
    ShellActions& Actions() { return Shell_; }

  private:
    std::string FrequencyText() const;

    const InstrumentState& State_;
    OutputEntryBar& Entry_;
    PanelRenderer& Renderer_;
    DisplayWriter& Display_;
    ShellActions Shell_;
};

} // namespace vr410
