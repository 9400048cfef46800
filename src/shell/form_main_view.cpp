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

void TFormMain::SetReadAdcTimerEnabled(bool enabled) {
    QTimer& timer = Cycle_->TimerReadADC();
    if (!enabled) {
        timer.stop();
    } else if (!timer.isActive()) { // enabling a running timer does not restart it
        timer.start();
    }
}

void TFormMain::SetParamControl(ParamControl control, int value) {
    Dialogs_.Param(control) = value;
}

void TFormMain::SetErrorList(const std::vector<std::string>& entries) {
    Dialogs_.ErrorList = entries;
}

void TFormMain::PressAccessoryButton(AccessoryButton button) {
    Dialogs_.PressAccessory(button);
}

void TFormMain::SetFirmwareLabel(const std::string& text) {
    Dialogs_.FirmwareLabel = text;
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
