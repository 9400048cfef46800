#include "shell/panel_answer_view.h"

#include "panel/keypad/output_entry.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel_keypad_host.h"
#include "panel/renderers.h"
#include "shell/dialog_model.h"

#include <QSpinBox>

namespace vr410 {

PanelAnswerView::PanelAnswerView(PanelKeypadHost& panel, PanelRenderer& renderer,
                                 OutputEntryBar& entry, OutputEntry& output, DialogModel& dialogs)
    : Panel_(panel), Renderer_(renderer), Entry_(entry), Output_(output), Dialogs_(dialogs) {}

void PanelAnswerView::SetAnswerText(const std::string&) {}

void PanelAnswerView::PrintMode() {
    Panel_.PrintMode();
}

void PanelAnswerView::CLRDisp(int row) {
    Panel_.CLRDisp(row);
}

void PanelAnswerView::PrintText(int column, int row, int dotWidth, const std::string& text) {
    Panel_.PrintText(column, row, dotWidth, text);
}

void PanelAnswerView::PrintUin() {
    Renderer_.PrintUin();
}

void PanelAnswerView::PrintUperc() {
    Renderer_.PrintUperc();
}

void PanelAnswerView::SetFrequencyField(int hertz) {
    Entry_.SE_Freq()->setValue(hertz);
}

void PanelAnswerView::SetFrequencyPanelVisible(bool visible) {
    Panel_.SetFreqPanelVisible(visible);
}

void PanelAnswerView::SetOutputField(const std::string& digits) {
    Output_.ShowInstrumentValue(digits);
}

void PanelAnswerView::ShowParameters(const InstrumentParameters& parameters) {
    Dialogs_.ShowParameters(parameters);
}

void PanelAnswerView::ShowErrorList(const std::vector<uint8_t>& codes) {
    Dialogs_.ShowErrorList(codes);
}

void PanelAnswerView::ShowUserCalibration(CalibratedPart part) {
    Dialogs_.ShowUserCalibration(part);
}

void PanelAnswerView::ShowAccessory(uint8_t band, uint8_t factor) {
    Dialogs_.ShowAccessory(band, factor);
}

void PanelAnswerView::ShowFirmwareVersion(const std::string& version) {
    Dialogs_.ShowFirmwareVersion(version);
}

} // namespace vr410
