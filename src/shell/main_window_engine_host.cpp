#include "shell/main_window_engine_host.h"

#include "panel/keypad/output_entry_bar.h"
#include "panel/keypad/panel_keypad_host.h"
#include "platform/system_facilities.h"
#include "shell/command_menu.h"
#include "shell/dialog_model.h"

#include <QAction>
#include <QSpinBox>

namespace vr410 {

MainWindowEngineHost::MainWindowEngineHost(const CommandMenu& commands,
                                           const QAction& accessoryItem,
                                           const OutputEntryBar& entry, PanelKeypadHost& panel,
                                           DialogModel& dialogs, SystemFacilities& facilities)
    : Commands_(commands), AccessoryItem_(accessoryItem), Entry_(entry), Panel_(panel),
      Dialogs_(dialogs), Facilities_(facilities) {}

EncoderInputs MainWindowEngineHost::EncoderFields() {
    return {.AccessoryMode = AccessoryMode(),
            .Frequency = Entry_.SE_Freq()->value(),
            .OkValue = Dialogs_.OkValue,
            .OkDigits = Dialogs_.OkDigits,
            .CancelHint = Commands_.CancelHint().toStdString(),
            .NewAddress = Dialogs_.ParamAddressField};
}

bool MainWindowEngineHost::AccessoryMode() {
    return AccessoryItem_.isChecked();
}

void MainWindowEngineHost::SetDeviceAddressField(int address) {
    Dialogs_.DeviceAddressField = address;
}

void MainWindowEngineHost::SetBusyCursor(bool busy) {
    Facilities_.SetBusyCursor(busy);
}

void MainWindowEngineHost::PressResetKey() {
    Panel_.SetKeyDown(PanelKey::SB_Reset, true);
}

void MainWindowEngineHost::PrintMode() {
    Panel_.PrintMode();
}

} // namespace vr410
