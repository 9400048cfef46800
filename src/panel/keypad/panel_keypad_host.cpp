#include "panel/keypad/panel_keypad_host.h"

#include "panel/display_writer.h"
#include "panel/keypad/masked_digit_edit.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/panel_controls.h"
#include "panel/renderers.h"

#include <QSpinBox>

namespace vr410 {
namespace {

// A display that keeps nothing: a renderer drawing on it only builds its edit mask.
class NoDisplay final : public DisplayWriter {
  public:
    void CLRDisp(int) override {}
    void PrintText(int, int, int, const std::string&) override {}
};

} // namespace

std::string OutputEditMaskFor(const InstrumentState& state) {
    InstrumentState copy = state; // the renderer takes a state it may write; this one is thrown
    NoDisplay nowhere;
    RecordedControls controls;
    PanelRenderer layout(copy, nowhere, controls);
    layout.VoltPrint(1);
    return layout.OutputEditMask();
}

PanelKeypadHost::PanelKeypadHost(const InstrumentState& state, Panel5& keys, OutputEntryBar& entry,
                                 ConfirmationBox& confirm, PanelRenderer& renderer,
                                 DisplayWriter& display, ShellActions actions)
    : WidgetKeypadHost(keys, entry, confirm), State_(state), Entry_(entry), Renderer_(renderer),
      Display_(display), Shell_(std::move(actions)) {}

void PanelKeypadHost::SetOutputFieldText(const std::string& digits) {
    Entry_.MaskEditVoltage()->SetMask(QString::fromStdString(OutputEditMaskFor(State_)));
    WidgetKeypadHost::SetOutputFieldText(digits);
}

void PanelKeypadHost::IssueCommand(uint8_t code) {
    if (Shell_.IssueCommand) {
        Shell_.IssueCommand(code);
    }
}

void PanelKeypadHost::SetCancelHint(const std::string& hint) {
    if (Shell_.SetCancelHint) {
        Shell_.SetCancelHint(hint);
    }
}

void PanelKeypadHost::SetQueryInterval(int ms) {
    if (Shell_.SetQueryInterval) {
        Shell_.SetQueryInterval(ms);
    }
}

void PanelKeypadHost::StartPredelOn() {
    if (Shell_.StartPredelOn) {
        Shell_.StartPredelOn();
    }
}

std::string PanelKeypadHost::FrequencyText() const {
    return Entry_.SE_Freq()->text().toStdString();
}

void PanelKeypadHost::PrintMode() {
    Renderer_.PrintMode(FrequencyText());
}

void PanelKeypadHost::VoltPrint(int row) {
    Renderer_.VoltPrint(row);
}

void PanelKeypadHost::FreqPrint(int column, int row) {
    Renderer_.FreqPrint(column, row, FrequencyText());
}

void PanelKeypadHost::PrintGuard() {
    Renderer_.PrintGuard();
}

void PanelKeypadHost::PrintPercent() {
    Renderer_.PrintPercent();
}

void PanelKeypadHost::SetPercentBase(int32_t base) {
    Renderer_.SetPercentBase(base);
}

void PanelKeypadHost::CLRDisp(int row) {
    Display_.CLRDisp(row);
}

void PanelKeypadHost::PrintText(int column, int row, int width, const std::string& text) {
    Display_.PrintText(column, row, width, text);
}

void PanelKeypadHost::OpenParamDialog() {
    if (Shell_.OpenParamDialog) {
        Shell_.OpenParamDialog();
    }
}

OkCalResult PanelKeypadHost::OpenOkCalDialog(int decimals, const std::string& label) {
    return Shell_.OpenOkCalDialog ? Shell_.OpenOkCalDialog(decimals, label) : OkCalResult{};
}

bool PanelKeypadHost::OpenCalibrationDialog() {
    return Shell_.OpenCalibrationDialog ? Shell_.OpenCalibrationDialog() : false;
}

} // namespace vr410
