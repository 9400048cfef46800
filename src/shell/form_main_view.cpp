// What the answers and the exchange cycle write into the main window, its panel and the
// windows around it.
#include "shell/form_main.h"

#include "links/comm_port.h"
#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel5.h"
#include "panel/text_layer.h"
#include "platform/system_facilities.h"
#include "shell/form_interface.h"

#include <QAction>
#include <QLabel>
#include <QSpinBox>

namespace vr410 {

void TFormMain::SetAnswerText(const std::string& text) {
    LabelAnswer_->setText(QString::fromStdString(text));
}

void TFormMain::PrintMode() {
    KeyHost_->PrintMode();
}

void TFormMain::CLRDisp(int row) {
    Panel4_->CLRDisp(row);
}

void TFormMain::PrintText(int column, int row, int dotWidth, const std::string& text) {
    Panel4_->PrintText(column, row, dotWidth, text);
}

void TFormMain::PrintUin() {
    Renderer_->PrintUin();
}

void TFormMain::PrintUperc() {
    Renderer_->PrintUperc();
}

void TFormMain::SetFrequencyField(int hertz) {
    Entry_->SE_Freq()->setValue(hertz);
}

void TFormMain::SetFrequencyPanelVisible(bool visible) {
    KeyHost_->SetFreqPanelVisible(visible);
}

void TFormMain::SetOutputField(const std::string& digits) {
    KeyHost_->SetOutputFieldText(digits);
}

void TFormMain::ShowParameters(const InstrumentParameters& parameters) {
    Dialogs_.ShowParameters(parameters);
}

void TFormMain::ShowErrorList(const std::vector<uint8_t>& codes) {
    Dialogs_.ShowErrorList(codes);
}

void TFormMain::ShowUserCalibration(CalibratedPart part) {
    Dialogs_.ShowUserCalibration(part);
}

void TFormMain::ShowAccessory(uint8_t band, uint8_t factor) {
    Dialogs_.ShowAccessory(band, factor);
}

void TFormMain::ShowFirmwareVersion(const std::string& version) {
    Dialogs_.ShowFirmwareVersion(version);
}

void TFormMain::ShowCommand(const QString& caption) {
    LabelCommand_->setText(caption);
}

void TFormMain::ShowSendLine(const std::string& line) {
    FormInterface_->SetSendLine(line);
}

void TFormMain::ShowReceiveLine(const std::string& line) {
    FormInterface_->SetReceiveLine(line);
}

EncoderInputs TFormMain::EncoderFields() {
    return {.AccessoryMode = AccessoryMode(),
            .Frequency = Entry_->SE_Freq()->value(),
            .OkValue = Dialogs_.OkValue,
            .OkDigits = Dialogs_.OkDigits,
            .CancelHint = Menu_.CancelHint().toStdString(),
            .NewAddress = Dialogs_.ParamAddressField};
}

bool TFormMain::AccessoryMode() {
    return N3001_->isChecked();
}

void TFormMain::SetDeviceAddressField(int address) {
    Dialogs_.DeviceAddressField = address;
}

void TFormMain::SetBusyCursor(bool busy) {
    Facilities_->SetBusyCursor(busy);
}

void TFormMain::PressResetKey() {
    Panel5_->SetKeyDown(PanelKey::SB_Reset, true);
}

bool TFormMain::ResetKeyDown() const {
    return Panel5_->IsKeyDown(PanelKey::SB_Reset);
}

const std::string& TFormMain::PortStatus() const {
    return Port_->PortStatus();
}

} // namespace vr410
